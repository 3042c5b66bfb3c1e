#include "tavric/text/WholeFile.hpp"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using zul::FileKinds;
using zul::readWholeFile;

namespace {

TEST(WholeFile, BytesSizeAndRefusals)
{
    const std::string path = "whole_file_test_file~";
    {
        std::ofstream out(path, std::ios::binary);
        out << std::string("abc\0def", 7);
    }
    std::string bytes = "old";
    std::size_t size = 99;
    EXPECT_EQ(0, readWholeFile(path, bytes, FileKinds::Readable, &size));
    EXPECT_EQ(std::string("abc\0def", 7), bytes);
    EXPECT_EQ(7u, size);
    EXPECT_EQ(0, readWholeFile(path, bytes, FileKinds::RegularOnly));
    EXPECT_EQ(7u, bytes.size());
    std::remove(path.c_str());

    EXPECT_EQ(ENOENT, readWholeFile("no/such/file~", bytes, FileKinds::Readable, &size));
    EXPECT_EQ(0u, size);
    EXPECT_EQ(EISDIR, readWholeFile(".", bytes));
    EXPECT_EQ(EISDIR, readWholeFile(".", bytes, FileKinds::RegularOnly));
}

TEST(WholeFile, FifoIsRefusedWithoutWaitingWhenOnlyRegularFilesDo)
{
    const std::string path = "whole_file_test_fifo~";
    std::remove(path.c_str());
    ASSERT_EQ(0, ::mkfifo(path.c_str(), 0600));
    std::string bytes;
    // Nobody writes into the FIFO: a blocking open would never return.
    EXPECT_EQ(EINVAL, readWholeFile(path, bytes, FileKinds::RegularOnly));
    std::remove(path.c_str());
}

} // namespace
