#pragma once

#include "shell/Settings.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/VideoMode.hpp>

#include <string>
#include <vector>

namespace vrk {

class ModuleContext;
struct LogText;

// The options screen, opened from the title and from the pause screen: while open it takes
// every event and draws over the scene. Every change takes effect and is written to the user
// data at once.
//
// The owner's part: pass it every event and every step while it is open, and after each read
// volumesChanged(); when true, give the audio the volumes of shell().settings() so that the sounds
// playing now follow (a held Left or Right changes a volume in update()).
class OptionsScreen {
public:
    // Top to bottom: the left column, the keys' column, then the two buttons.
    enum Row {
        MusicRow,
        EffectsRow,
        FullscreenRow,
        WindowRow,
        LanguageRow,
        DifficultyRow,
        FirstKeyRow,
        ResetRow = FirstKeyRow + ActionCount,
        BackRow,
        RowCount
    };

    explicit OptionsScreen(ModuleContext& shell);
    // Where res/ lies (with a trailing slash); the run directory by default.
    void setResourceDirectory(const std::string& directory) { resourceDirectory = directory; }
    // Its font (its words are read from the language document as they are drawn, so a change of
    // language shows at once); false with a line on shell.errors().
    bool load();
    void open();
    bool isOpen() const { return shown; }
    // Escape or its "Back" item closes it.
    void handleEvent(const sf::Event& event);
    // Once per step while open: the key wait's blinking, a volume following a held Left or Right.
    void update();
    // Into shell.scene(), over what is already there.
    void draw();

    // True once after either volume changed (reading clears it).
    bool volumesChanged();

    int selectedRow() const { return selected; }
    // Waiting for the key to bind to the selected action.
    bool waitingForKey() const { return capturing; }
    // The line under the rows: what a refused key, a failed save or a refused window said, or the
    // key wait's prompt; empty for the help line.
    const std::string& statusLine() const { return status; }

    // Where a row lies in the scene (the pointer over it selects it), and a volume row's track.
    static sf::FloatRect rowArea(int row);
    static sf::FloatRect sliderArea(int row);
    // The window sizes offered: the display's modes of the desktop's depth that the user data can
    // keep and the sizes given (the current one among them), each size once, from the smallest.
    static std::vector<sf::Vector2u> windowSizes(const std::vector<sf::VideoMode>& modes, unsigned depth,
                                                 std::vector<sf::Vector2u> sizes);

private:
    std::string text(const LogText& words) const;
    std::string text(const LogText& words, const std::string& mark, const std::string& value) const;
    std::string languageName(const std::string& code) const;
    std::vector<std::string> languages() const;
    std::string valueText(int row) const;

    void select(int row);
    void change(int row, int direction);
    void activate(int row);
    void bindKey(sf::Keyboard::Key key);
    void setVolumeAt(int row, float x);
    void reset();
    void applyWindow();
    void save();
    void close();
    int rowAt(sf::Vector2f point) const;

    void drawRow(int row, bool highlighted);
    void drawSlider(int row, int volume, bool highlighted);

    ModuleContext& shellContext;
    std::string resourceDirectory;
    sf::Font font;
    bool shown = false;
    int selected = MusicRow;
    bool capturing = false;
    // The volume row whose track the left button holds, or -1.
    int dragging = -1;
    bool volumesDirty = false;
    std::string status;
    // Steps since the screen opened, for the key wait's blinking, and since Left or Right went down.
    int steps = 0;
    int heldSteps = 0;
    // The window's size when the screen opened: offered again until it closes.
    sf::Vector2u openedSize;
};

} // namespace vrk
