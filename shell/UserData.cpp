#include "shell/Program.hpp"
#include "shell/UserDataText.hpp"
#include "tavric/text/WholeFile.hpp"

#include <cerrno>
#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <iostream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace vrk {

namespace {

const char* const configPath = "./lev/config.tvr";
const char* const userDataPath = "./data.vrk";
// Created beside the user data so that the final rename stays on one file system.
const char* const userDataTemplate = "./data.vrk.XXXXXX";
const char* const defaultLanguage = "En";
constexpr int publicUser = zul::publicUser;

void writeMessages(const zul::Tavric& document, std::ostream& stream)
{
    for (const std::string& line : document.messages())
        stream << line;
    stream.flush();
}

bool writeAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}

// Replaces the file at path with bytes, or leaves it exactly as it was: the bytes go to a
// temporary file beside it, which is flushed to disk and then renamed over the old one.
bool replaceFile(const char* path, const char* tempTemplate, const std::string& bytes)
{
    std::string tempPath = tempTemplate;
    const int fd = ::mkstemp(&tempPath[0]);
    if (fd < 0)
        return false;
    // Keep the permissions of the file being replaced; a new file gets rw-r--r--.
    struct stat old;
    const mode_t mode = ::stat(path, &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(tempPath.c_str(), path) == 0;
    if (!ok)
        ::unlink(tempPath.c_str());
    return ok;
}

} // namespace

bool Program::loadConfiguration()
{
    if (configDocument.load(configPath, true))
        return true;
    writeMessages(configDocument, std::cerr);
    return false;
}

bool Program::loadUserData()
{
    std::string bytes;
    // A directory, a device or a FIFO in its place is unreadable user data, not something to wait for.
    if (zul::readWholeFile(userDataPath, bytes, zul::FileKinds::RegularOnly) != 0)
        return false;
    if (!userDocument.parse(userDataText(bytes), true)) {
        writeMessages(userDocument, std::cout);
        return false;
    }
    findSelectedUser(userDocument, selectedUserName);
    return true;
}

void Program::chooseLanguage()
{
    zul::Tavric& languages = configDocument.child("Language", publicUser);
    std::string code = userDocument.child("CurrentLanguage", publicUser).getString(publicUser);

    // --Language=CODE wins over the stored language when the configuration has that language.
    const auto option = options.find("Language");
    if (option != options.end()) {
        if (!option->second.empty() && languages.exists(option->second))
            code = option->second;
        else
            std::cerr << "Ignoring --Language=" << option->second << ": the configuration has no such language."
                      << std::endl;
    }

    if (code.empty() || !languages.exists(code))
        code = defaultLanguage;
    languageDocument.copyFrom(languages.child(code, publicUser));
    userDocument.child("CurrentLanguage", publicUser).setString(languageDocument.getName(), publicUser);
}

void Program::readSettings()
{
    settings.read(userDocument, std::cerr);
    const auto option = options.find("Keys");
    if (option != options.end() && !settings.applyKeyPreset(option->second))
        std::cerr << "Ignoring --Keys=" << option->second << ": the presets are azerty and qwerty." << std::endl;
    readDifficultyOption();
}

void Program::readDifficultyOption()
{
    const auto option = options.find("Difficulty");
    if (option != options.end() && !difficultyFromName(option->second, settings.difficulty))
        std::cerr << "Ignoring --Difficulty=" << option->second << ": the difficulties are easy, normal and classic."
                  << std::endl;
}

bool Program::saveUserData()
{
    settings.write(userDocument);
    std::string bytes;
    if (!userDataBytes(userDocument, selectedUserName, bytes))
        return false;
    return replaceFile(userDataPath, userDataTemplate, bytes);
}

} // namespace vrk
