#include "controls/push_button_logic.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace controls {
namespace {

using Drawn = std::pair<Face, bool>;  // face and whether the gradient had the shade on top

class FakeView : public PushButtonView {
  public:
    void DrawFace(Face face, bool shadeOnTop) override { faces.push_back({face, shadeOnTop}); }
    void SetCaptionEnabled(bool enabled) override { captionEnabled = enabled; }
    void StartPointerWatch() override {}
    void RaiseClick() override { ++clicks; }

    std::vector<Drawn> faces;
    bool captionEnabled = true;
    int clicks = 0;
};

constexpr bool kLightTop = false;
constexpr bool kShadeTop = true;

// Plays events given one word each, as the button's window delivers them.
void Play(PushButtonLogic& button, const std::string& events) {
    std::istringstream words(events);
    for (std::string event; words >> event;) {
        if (event == "track")
            button.StartTracking();
        else if (event == "move")
            button.MouseMove();
        else if (event == "down")
            button.MouseDown(MouseButton::kLeft);
        else if (event == "up")
            button.MouseUp(MouseButton::kLeft);
        else if (event == "rdown")
            button.MouseDown(MouseButton::kRight);
        else if (event == "rup")
            button.MouseUp(MouseButton::kRight);
        else if (event == "mup")
            button.MouseUp(MouseButton::kMiddle);
        else if (event == "focus")
            button.FocusGained();
        else if (event == "blur")
            button.FocusLost();
        else if (event == "leave")
            button.PointerLeft();
        else if (event == "resize")
            button.ShowLook();
        else if (event == "disable")
            button.SetEnabled(false);
        else if (event == "enable")
            button.SetEnabled(true);
        else
            FAIL() << "unknown event " << event;
    }
}

// Each row brings a button into a state by the events of `before`, then plays `events` and
// sees the faces they draw, the clicks they raise and whether the caption is greyed.
TEST(PushButtonLogic, FacesAndClicksOfEachEvent) {
    struct Row {
        const char* before;
        const char* events;
        std::vector<Drawn> faces;
        int clicks;
        bool greyed = false;
    };
    const std::vector<Row> rows = {
        // The pointer: in, out, and over a focused button.
        {"track", "move", {{Face::kHighLight, kShadeTop}}, 0},
        {"track move", "move", {}, 0},
        {"track move", "leave", {{Face::kNormal, kLightTop}}, 0},
        {"track", "leave", {}, 0},
        {"track focus", "move", {{Face::kHighLightSelect, kLightTop}}, 0},
        {"track move focus", "leave", {{Face::kSelected, kLightTop}}, 0},
        {"track focus move leave", "move", {{Face::kHighLightSelect, kLightTop}}, 0},
        // Before tracking starts the pointer changes nothing.
        {"", "move leave", {}, 0},
        // The focus: a hot button takes it with the Pressed face, others with Selected.
        {"track", "focus", {{Face::kSelected, kLightTop}}, 0},
        {"track move", "focus", {{Face::kPressed, kShadeTop}}, 0},
        {"track focus move", "focus", {{Face::kSelected, kLightTop}}, 0},
        {"track move", "blur move", {{Face::kNormal, kLightTop}, {Face::kHighLight, kShadeTop}}, 0},
        {"track focus move", "blur", {{Face::kNormal, kLightTop}}, 0},
        {"track", "blur", {}, 0},
        // The left button presses, with the gradient the state has; up clicks.
        {"track move", "down", {{Face::kPressed, kShadeTop}}, 0},
        {"track move focus", "down", {{Face::kPressed, kShadeTop}}, 0},
        {"track focus move", "down", {{Face::kPressed, kLightTop}}, 0},
        {"track move down", "up", {{Face::kNormal, kShadeTop}}, 1},
        {"track focus move down", "up", {{Face::kHighLightSelect, kLightTop}}, 1},
        {"track down", "up", {}, 1},
        // Pressed on a focused button, dragged off and released: no click, and the pointer
        // coming back while the button is held changes nothing until it is released.
        {"track focus move down leave", "move up", {}, 0},
        {"track focus move down leave up", "move", {{Face::kHighLightSelect, kLightTop}}, 0},
        // The other buttons press nothing but click.
        {"track move", "rdown", {}, 0},
        {"track move", "rup", {}, 1},
        {"track focus move", "mup", {}, 1},
        {"track focus", "rup", {}, 0},
        // A plain click, whichever comes first of the focus and the button-down: the
        // HighLightSelect face keeps the gradient the hot button had.
        {"track move down focus", "up", {{Face::kHighLightSelect, kShadeTop}}, 1},
        {"track move focus down", "up", {{Face::kHighLightSelect, kShadeTop}}, 1},
        // Disabled: the Disable face over the state's gradient, then nothing at all.
        {"track move", "disable", {{Face::kDisable, kShadeTop}}, 0, true},
        {"track disable", "move down up focus leave blur rup", {}, 0, true},
        {"track move down disable", "up", {}, 0, true},
        // Enabling, and every resize, draws the Normal face over the state's gradient.
        {"track move disable", "enable", {{Face::kNormal, kShadeTop}}, 0},
        {"track move", "resize", {{Face::kNormal, kShadeTop}}, 0},
        {"track move disable", "resize", {{Face::kDisable, kShadeTop}}, 0, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.before) + " | " + row.events);
        FakeView view;
        PushButtonLogic button(view);
        Play(button, row.before);
        view.faces.clear();
        view.clicks = 0;
        Play(button, row.events);
        EXPECT_EQ(view.faces, row.faces);
        EXPECT_EQ(view.clicks, row.clicks);
        EXPECT_EQ(view.captionEnabled, !row.greyed);
    }
}

}  // namespace
}  // namespace controls
