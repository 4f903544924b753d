#include "controls/command_logic.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace controls {
namespace {

using Drawn = std::pair<Face, bool>;  // face and whether the gradient had the shade on top

class FakeView : public CommandView {
  public:
    void DrawFace(Face face, bool reverse) override { faces.push_back({face, reverse}); }
    void SetCaptionEnabled(bool enabled) override { captionEnabled = enabled; }
    void SetCaptionColour(uint32_t colour) override { captionColour = colour; }
    uint32_t CaptionColour() const override { return captionColour; }
    void ShowCaption(const std::wstring& text) override { caption = text; }
    std::wstring CaptionText() const override { return caption; }
    void UseFont(const forms::FontSpec& f) override { font = f; }
    forms::FontSpec CaptionFont() const override { return font; }
    void SetOpaque(bool o) override { opaque = o; }
    void StartPointerWatch() override { ++watchStarts; }
    void RaiseClick() override { ++clicks; }
    void NotifyChanged(const wchar_t* property) override { changed.push_back(property); }

    std::vector<Drawn> faces;
    bool captionEnabled = true;
    uint32_t captionColour = 0;
    std::wstring caption = L"Command";
    forms::FontSpec font;
    bool opaque = true;
    int watchStarts = 0;
    int clicks = 0;
    std::vector<std::wstring> changed;
};

constexpr bool kLightTop = false;
constexpr bool kShadeTop = true;

struct Start {
    uint8_t state;
    int16_t mouseDown = kFalse;
    int16_t enabled = kTrue;
    int16_t reverse = kFalse;
};

TEST(CommandLogic, TransitionTable) {
    using Event = std::function<void(CommandLogic&)>;
    const Event move = [](CommandLogic& c) { c.MouseMove(); };
    const Event leftDown = [](CommandLogic& c) { c.MouseDown(kLeftButton); };
    const Event leftUp = [](CommandLogic& c) { c.MouseUp(kLeftButton); };
    const Event rightUp = [](CommandLogic& c) { c.MouseUp(kRightButton); };
    const Event middleUp = [](CommandLogic& c) { c.MouseUp(kMiddleButton); };
    const Event rightDown = [](CommandLogic& c) { c.MouseDown(kRightButton); };
    const Event focus = [](CommandLogic& c) { c.FocusGained(); };
    const Event blur = [](CommandLogic& c) { c.FocusLost(); };
    const Event left = [](CommandLogic& c) { c.LeaveCheck(PointerOver::kElsewhere); };
    const Event leftToParent = [](CommandLogic& c) { c.LeaveCheck(PointerOver::kParent); };
    const Event stay = [](CommandLogic& c) { c.LeaveCheck(PointerOver::kThisButton); };

    struct Row {
        const char* name;
        Start start;
        Event event;
        uint8_t endState;
        std::vector<Drawn> faces;
        int clicks;
        int16_t mouseDownAfter;
    };
    const std::vector<Row> rows = {
        {"1 move -> 2", {1}, move, 2, {{Face::kHighLight, kShadeTop}}, 0, kFalse},
        {"3 move -> 4", {3}, move, 4, {{Face::kHighLightSelect, kLightTop}}, 0, kFalse},
        {"3 move with button held", {3, kTrue}, move, 3, {}, 0, kTrue},
        {"2 move stays", {2, kFalse, kTrue, kTrue}, move, 2, {}, 0, kFalse},
        {"2 leaves -> 1",
         {2, kFalse, kTrue, kTrue},
         left,
         1,
         {{Face::kNormal, kLightTop}},
         0,
         kFalse},
        {"4 leaves -> 3",
         {4, kFalse, kTrue, kTrue},
         left,
         3,
         {{Face::kSelected, kLightTop}},
         0,
         kFalse},
        {"4 to the parent -> 3", {4}, leftToParent, 3, {{Face::kSelected, kLightTop}}, 0, kFalse},
        {"1 and 3 leave: nothing", {1}, left, 1, {}, 0, kFalse},
        {"2 over itself stays", {2}, stay, 2, {}, 0, kFalse},
        {"1 focus -> 3", {1}, focus, 3, {{Face::kSelected, kLightTop}}, 0, kFalse},
        {"4 focus -> 3", {4}, focus, 3, {{Face::kSelected, kLightTop}}, 0, kFalse},
        {"2 focus -> 4 pressed",
         {2, kFalse, kTrue, kTrue},
         focus,
         4,
         {{Face::kPressed, kShadeTop}},
         0,
         kFalse},
        {"2 blur -> 1", {2}, blur, 1, {{Face::kNormal, kLightTop}}, 0, kFalse},
        {"4 blur -> 1", {4}, blur, 1, {{Face::kNormal, kLightTop}}, 0, kFalse},
        {"1 blur: nothing", {1}, blur, 1, {}, 0, kFalse},
        {"left down keeps state",
         {2, kFalse, kTrue, kTrue},
         leftDown,
         2,
         {{Face::kPressed, kShadeTop}},
         0,
         kTrue},
        {"left down on 4 keeps direction",
         {4, kFalse, kTrue, kTrue},
         leftDown,
         4,
         {{Face::kPressed, kShadeTop}},
         0,
         kTrue},
        {"right down ignored", {2}, rightDown, 2, {}, 0, kFalse},
        {"2 left up: Normal, Click",
         {2, kTrue, kTrue, kTrue},
         leftUp,
         2,
         {{Face::kNormal, kShadeTop}},
         1,
         kFalse},
        {"4 left up: HighLightSelect, Click",
         {4, kTrue},
         leftUp,
         4,
         {{Face::kHighLightSelect, kLightTop}},
         1,
         kFalse},
        {"3 left up: no Click", {3, kTrue}, leftUp, 3, {}, 0, kFalse},
        {"1 left up: Click without a face", {1, kTrue}, leftUp, 1, {}, 1, kFalse},
        {"right up on 2: Click, no face", {2}, rightUp, 2, {}, 1, kFalse},
        {"middle up on 4: Click, no face", {4}, middleUp, 4, {}, 1, kFalse},
        {"right up on 3: nothing", {3}, rightUp, 3, {}, 0, kFalse},
        {"Enabled 1: normal look but never Click",
         {2, kTrue, 1},
         leftUp,
         2,
         {{Face::kNormal, kShadeTop}},
         0,
         kFalse},
        {"disabled: move does nothing", {1, kFalse, kFalse}, move, 1, {}, 0, kFalse},
        {"disabled: up raises nothing", {2, kTrue, kFalse}, leftUp, 2, {}, 0, kTrue},
        {"disabled: focus does nothing", {1, kFalse, kFalse}, focus, 1, {}, 0, kFalse},
        {"disabled: leave does nothing", {2, kFalse, kFalse}, left, 2, {}, 0, kFalse},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeView view;
        CommandLogic button(view);
        button.ButtonState = row.start.state;
        button.MouseIsDown = row.start.mouseDown;
        button.EnabledFlag = row.start.enabled;
        button.ReverseGradient = row.start.reverse;
        row.event(button);
        EXPECT_EQ(button.ButtonState, row.endState);
        EXPECT_EQ(view.faces, row.faces);
        EXPECT_EQ(view.clicks, row.clicks);
        EXPECT_EQ(button.MouseIsDown, row.mouseDownAfter);
    }
}

// Whole sequences as the platform delivers them.
TEST(CommandLogic, ClickSequences) {
    struct Row {
        const char* name;
        uint8_t start;
        std::vector<const char*> events;
        uint8_t end;
        int clicks;
        Face lastFace;
    };
    const Row rows[] = {
        {"unfocused, button down before focus",
         1,
         {"move", "down", "focus", "up"},
         4,
         1,
         Face::kHighLightSelect},
        {"unfocused, focus before button down",
         1,
         {"move", "focus", "down", "up"},
         4,
         1,
         Face::kHighLightSelect},
        {"focused button", 3, {"move", "down", "up"}, 4, 1, Face::kHighLightSelect},
        {"drag off and back, release",
         3,
         {"move", "down", "leave", "move", "up", "move"},
         4,
         0,
         Face::kHighLightSelect},
        {"keyboard focus onto a hovered button", 1, {"move", "focus"}, 4, 0, Face::kPressed},
        {"focus lost under the pointer, then a move", 4, {"blur", "move"}, 2, 0, Face::kHighLight},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeView view;
        CommandLogic button(view);
        button.EnabledFlag = kTrue;
        button.ButtonState = row.start;
        for (const std::string event : row.events) {
            if (event == "move")
                button.MouseMove();
            if (event == "down")
                button.MouseDown(kLeftButton);
            if (event == "up")
                button.MouseUp(kLeftButton);
            if (event == "focus")
                button.FocusGained();
            if (event == "blur")
                button.FocusLost();
            if (event == "leave")
                button.LeaveCheck(PointerOver::kElsewhere);
        }
        EXPECT_EQ(button.ButtonState, row.end);
        EXPECT_EQ(view.clicks, row.clicks);
        ASSERT_FALSE(view.faces.empty());
        EXPECT_EQ(view.faces.back().first, row.lastFace);
    }
}

TEST(CommandLogic, GradientDirectionFollowsTheState) {
    FakeView view;
    CommandLogic button(view);
    button.EnabledFlag = kTrue;
    button.Initialize();
    EXPECT_EQ(button.ButtonState, 1);
    EXPECT_EQ(view.watchStarts, 1);
    button.MouseMove();    // 2: shade on top
    button.FocusGained();  // 4, Pressed: keeps the shade on top
    EXPECT_EQ(view.faces.back(), Drawn(Face::kPressed, kShadeTop));
    button.LeaveCheck(PointerOver::kElsewhere);  // 3: light on top
    button.MouseMove();                          // 4 from 3: keeps light on top
    EXPECT_EQ(view.faces.back(), Drawn(Face::kHighLightSelect, kLightTop));
    // The enabled look of a hovered button: Normal frame over the state's gradient.
    FakeView hovered;
    CommandLogic other(hovered);
    other.EnabledFlag = kTrue;
    other.ButtonState = 2;
    other.Resized();
    EXPECT_EQ(hovered.faces.back(), Drawn(Face::kNormal, kShadeTop));
}

TEST(CommandLogic, PropertiesAndTheirRedraws) {
    FakeView view;
    CommandLogic button(view);
    // A new instance without stored properties is disabled until Enabled is first read.
    EXPECT_EQ(button.EnabledFlag, kFalse);
    EXPECT_EQ(button.Enabled(), kTrue);
    EXPECT_EQ(button.FirstRunFlag, 1);
    EXPECT_EQ(view.faces.back().first, Face::kNormal);

    button.SetEnabled(kFalse);
    EXPECT_EQ(view.faces.back().first, Face::kDisable);
    EXPECT_FALSE(view.captionEnabled);
    button.ButtonState = 2;
    button.SetEnabled(kTrue);
    EXPECT_EQ(view.faces.back(), Drawn(Face::kNormal, kShadeTop));
    EXPECT_TRUE(view.captionEnabled);

    // Reads that redraw.
    view.faces.clear();
    EXPECT_EQ(button.Visible(), 255);
    EXPECT_EQ(button.FontColour(), 0u);
    EXPECT_EQ(view.faces.size(), 2u);
    button.SetVisible(0);
    EXPECT_EQ(button.Visible(), 0);
    EXPECT_FALSE(view.opaque);
    // ApplyNormalLook leaves a disabled button alone.
    button.SetEnabled(kFalse);
    view.faces.clear();
    button.SetVisible(1);
    EXPECT_TRUE(view.faces.empty());
    EXPECT_EQ(view.changed, (std::vector<std::wstring>{L"Enabled", L"Enabled", L"Visible",
                                                       L"Enabled", L"Visible"}));
    button.SetCaption(L"設定");
    EXPECT_EQ(view.changed.back(), L"Caption");
    EXPECT_TRUE(view.faces.empty());  // the label redraws itself
}

TEST(CommandLogic, FirstRunZeroKeepsResettingTheCaptionColour) {
    FakeView view;
    CommandLogic button(view);
    button.EnabledFlag = kTrue;
    button.FirstRunFlag = 0;
    view.captionColour = 0x0000FF;
    button.SetFontColour(0x00FF00);
    EXPECT_EQ(view.captionColour, 0u);
}

const forms::FontSpec kAmbient{L"ＭＳ Ｐゴシック", 9.75, 400, false, false, false, 128};

TEST(CommandLogic, SaveAndRestore) {
    // "Command" is the written default and comes back as "Command1".
    FakeView saved;
    CommandLogic original(saved);
    original.EnabledFlag = kTrue;
    original.FirstRunFlag = 1;
    saved.font = kAmbient;
    forms::PropertyStore store;
    original.Save(store, kAmbient);
    EXPECT_EQ(store.Size(), 0u);  // everything at its default
    FakeView restored;
    CommandLogic copy(restored);
    copy.Restore(store, kAmbient);
    EXPECT_EQ(restored.caption, L"Command1");
    EXPECT_EQ(copy.EnabledFlag, kTrue);

    // Other captions, the empty one included, come back unchanged.
    for (const std::wstring& caption : {std::wstring(L"ｷｬﾝｾﾙ"), std::wstring()}) {
        saved.caption = caption;
        forms::PropertyStore s;
        original.Save(s, kAmbient);
        FakeView back;
        CommandLogic again(back);
        again.Restore(s, kAmbient);
        EXPECT_EQ(back.caption, caption);
    }

    // Disabled, a colour and a first run of 0 are stored; any non-zero Enabled reads as true.
    original.EnabledFlag = kFalse;
    original.FirstRunFlag = 0;
    saved.captionColour = 0x123456;
    forms::PropertyStore s;
    original.Save(s, kAmbient);
    EXPECT_TRUE(s.Contains(L"enabled") && s.Contains(L"FIRSTRUN") && s.Contains(L"FontColour"));
    s.Write(L"Enabled", int32_t{5}, kTrue);
    FakeView back;
    CommandLogic again(back);
    again.Restore(s, kAmbient);
    EXPECT_EQ(again.EnabledFlag, kTrue);
    EXPECT_EQ(again.FirstRunFlag, 0);
    EXPECT_EQ(back.captionColour, 0u);  // first run 0 and enabled: ApplyNormalLook made it black
}

TEST(CommandLogic, LayoutWithOnlyCaptionAndFontRestoresAnEnabledButton) {
    forms::PropertyStore layout;
    const forms::FontSpec font{L"ＭＳ Ｐゴシック", 9.75, 400, false, false, false, 128};
    layout.Write(L"caption", std::wstring(L"設定"), std::wstring(L"Command"));
    layout.Write(L"font", font, forms::FontSpec{});
    FakeView view;
    CommandLogic button(view);
    button.Restore(layout, forms::FontSpec{L"Arial", 8, 400, false, false, false, 0});
    EXPECT_EQ(button.EnabledFlag, kTrue);
    EXPECT_EQ(button.FirstRunFlag, 1);
    EXPECT_EQ(view.captionColour, 0u);
    EXPECT_TRUE(view.opaque);
    EXPECT_EQ(view.caption, L"設定");
    EXPECT_EQ(view.font, font);
    EXPECT_EQ(view.faces.back().first, Face::kNormal);
}

TEST(PropertyStore, DefaultsAndNames) {
    forms::PropertyStore store;
    store.Write(L"FirstRun", int32_t{1}, std::wstring(L"1"));
    EXPECT_FALSE(store.Contains(L"FirstRun"));  // "1" equals 1
    store.Write(L"FirstRun", int32_t{0}, std::wstring(L"1"));
    EXPECT_TRUE(store.Contains(L"firstrun"));
    EXPECT_EQ(std::get<int32_t>(store.Read(L"FIRSTRUN", int32_t{7})), 0);
    EXPECT_EQ(std::get<int32_t>(store.Read(L"Missing", int32_t{7})), 7);
    int32_t n = 0;
    EXPECT_FALSE(forms::PropertyStore::AsNumber(std::wstring(L"x1"), n));
    EXPECT_TRUE(forms::PropertyStore::AsNumber(std::wstring(L"-12"), n));
    EXPECT_EQ(n, -12);
}

}  // namespace
}  // namespace controls
