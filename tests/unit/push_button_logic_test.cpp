#include "controls/push_button_logic.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <vector>

namespace controls {
namespace {

using Drawn = std::pair<Face, bool>;  // face and whether the gradient had the shade on top

class FakeView : public PushButtonView {
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

    std::vector<Drawn> faces;
    bool captionEnabled = true;
    uint32_t captionColour = 0;
    std::wstring caption = L"Command";
    forms::FontSpec font;
    bool opaque = true;
    int watchStarts = 0;
    int clicks = 0;
};

constexpr bool kLightTop = false;
constexpr bool kShadeTop = true;

using State = PushButtonLogic::State;
constexpr State kIdle = PushButtonLogic::kIdle, kHot = PushButtonLogic::kHot,
                kFocused = PushButtonLogic::kFocused, kFocusedHot = PushButtonLogic::kFocusedHot;

struct Start {
    State state;
    int16_t mouseDown = kFalse;
    int16_t enabled = kTrue;
    int16_t reverse = kFalse;
};

TEST(PushButtonLogic, TransitionTable) {
    using Event = std::function<void(PushButtonLogic&)>;
    const Event move = [](PushButtonLogic& c) { c.MouseMove(); };
    const Event leftDown = [](PushButtonLogic& c) { c.MouseDown(kLeftButton); };
    const Event leftUp = [](PushButtonLogic& c) { c.MouseUp(kLeftButton); };
    const Event rightUp = [](PushButtonLogic& c) { c.MouseUp(kRightButton); };
    const Event middleUp = [](PushButtonLogic& c) { c.MouseUp(kMiddleButton); };
    const Event rightDown = [](PushButtonLogic& c) { c.MouseDown(kRightButton); };
    const Event focus = [](PushButtonLogic& c) { c.FocusGained(); };
    const Event blur = [](PushButtonLogic& c) { c.FocusLost(); };
    const Event left = [](PushButtonLogic& c) { c.LeaveCheck(PointerOver::kElsewhere); };
    const Event leftToParent = [](PushButtonLogic& c) { c.LeaveCheck(PointerOver::kParent); };
    const Event stay = [](PushButtonLogic& c) { c.LeaveCheck(PointerOver::kThisButton); };

    struct Row {
        Start start;
        Event event;
        State endState;
        std::vector<Drawn> faces;
        int clicks;
        int16_t mouseDownAfter;
    };
    const std::vector<Row> rows = {
        {{kIdle}, move, kHot, {{Face::kHighLight, kShadeTop}}, 0, kFalse},
        {{kFocused}, move, kFocusedHot, {{Face::kHighLightSelect, kLightTop}}, 0, kFalse},
        {{kFocused, kTrue}, move, kFocused, {}, 0, kTrue},
        {{kHot, kFalse, kTrue, kTrue}, move, kHot, {}, 0, kFalse},
        {{kHot, kFalse, kTrue, kTrue}, left, kIdle, {{Face::kNormal, kLightTop}}, 0, kFalse},
        {{kFocusedHot, kFalse, kTrue, kTrue},
         left,
         kFocused,
         {{Face::kSelected, kLightTop}},
         0,
         kFalse},
        {{kFocusedHot}, leftToParent, kFocused, {{Face::kSelected, kLightTop}}, 0, kFalse},
        {{kIdle}, left, kIdle, {}, 0, kFalse},
        {{kHot}, stay, kHot, {}, 0, kFalse},
        {{kIdle}, focus, kFocused, {{Face::kSelected, kLightTop}}, 0, kFalse},
        {{kFocusedHot}, focus, kFocused, {{Face::kSelected, kLightTop}}, 0, kFalse},
        {{kHot, kFalse, kTrue, kTrue},
         focus,
         kFocusedHot,
         {{Face::kPressed, kShadeTop}},
         0,
         kFalse},
        {{kHot}, blur, kIdle, {{Face::kNormal, kLightTop}}, 0, kFalse},
        {{kFocusedHot}, blur, kIdle, {{Face::kNormal, kLightTop}}, 0, kFalse},
        {{kIdle}, blur, kIdle, {}, 0, kFalse},
        {{kHot, kFalse, kTrue, kTrue}, leftDown, kHot, {{Face::kPressed, kShadeTop}}, 0, kTrue},
        {{kFocusedHot, kFalse, kTrue, kTrue},
         leftDown,
         kFocusedHot,
         {{Face::kPressed, kShadeTop}},
         0,
         kTrue},
        {{kHot}, rightDown, kHot, {}, 0, kFalse},
        {{kHot, kTrue, kTrue, kTrue}, leftUp, kHot, {{Face::kNormal, kShadeTop}}, 1, kFalse},
        {{kFocusedHot, kTrue},
         leftUp,
         kFocusedHot,
         {{Face::kHighLightSelect, kLightTop}},
         1,
         kFalse},
        {{kFocused, kTrue}, leftUp, kFocused, {}, 0, kFalse},
        {{kIdle, kTrue}, leftUp, kIdle, {}, 1, kFalse},
        {{kHot}, rightUp, kHot, {}, 1, kFalse},
        {{kFocusedHot}, middleUp, kFocusedHot, {}, 1, kFalse},
        {{kFocused}, rightUp, kFocused, {}, 0, kFalse},
        // An Enabled of 1 looks enabled but never clicks; a disabled button does nothing.
        {{kHot, kTrue, 1}, leftUp, kHot, {{Face::kNormal, kShadeTop}}, 0, kFalse},
        {{kIdle, kFalse, kFalse}, move, kIdle, {}, 0, kFalse},
        {{kHot, kTrue, kFalse}, leftUp, kHot, {}, 0, kTrue},
        {{kIdle, kFalse, kFalse}, focus, kIdle, {}, 0, kFalse},
        {{kHot, kFalse, kFalse}, left, kHot, {}, 0, kFalse},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("row " + std::to_string(&row - rows.data()));
        FakeView view;
        PushButtonLogic button(view);
        button.state = row.start.state;
        button.mouseIsDown = row.start.mouseDown;
        button.enabledValue = row.start.enabled;
        button.reverseGradient = row.start.reverse;
        row.event(button);
        EXPECT_EQ(button.state, row.endState);
        EXPECT_EQ(view.faces, row.faces);
        EXPECT_EQ(view.clicks, row.clicks);
        EXPECT_EQ(button.mouseIsDown, row.mouseDownAfter);
    }
}

// Whole sequences as the platform delivers them.
TEST(PushButtonLogic, ClickSequences) {
    struct Row {
        State start;
        const char* events;  // one word an event, as they arrive
        State end;
        int clicks;
        Face lastFace;
    };
    const Row rows[] = {
        {kIdle, "move down focus up", kFocusedHot, 1, Face::kHighLightSelect},
        {kIdle, "move focus down up", kFocusedHot, 1, Face::kHighLightSelect},
        {kFocused, "move down up", kFocusedHot, 1, Face::kHighLightSelect},
        {kFocused, "move down leave move up move", kFocusedHot, 0, Face::kHighLightSelect},
        {kIdle, "move focus", kFocusedHot, 0, Face::kPressed},
        {kFocusedHot, "blur move", kHot, 0, Face::kHighLight},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.events);
        FakeView view;
        PushButtonLogic button(view);
        button.enabledValue = kTrue;
        button.state = row.start;
        std::istringstream events(row.events);
        for (std::string event; events >> event;) {
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
        EXPECT_EQ(button.state, row.end);
        EXPECT_EQ(view.clicks, row.clicks);
        ASSERT_FALSE(view.faces.empty());
        EXPECT_EQ(view.faces.back().first, row.lastFace);
    }
}

TEST(PushButtonLogic, GradientDirectionFollowsTheState) {
    FakeView view;
    PushButtonLogic button(view);
    button.enabledValue = kTrue;
    button.Initialize();
    EXPECT_EQ(button.state, kIdle);
    EXPECT_EQ(view.watchStarts, 1);
    button.MouseMove();    // hot: shade on top
    button.FocusGained();  // focused-hot, Pressed: keeps the shade on top
    EXPECT_EQ(view.faces.back(), Drawn(Face::kPressed, kShadeTop));
    button.LeaveCheck(PointerOver::kElsewhere);  // focused: light on top
    button.MouseMove();                          // focused-hot from focused: keeps light on top
    EXPECT_EQ(view.faces.back(), Drawn(Face::kHighLightSelect, kLightTop));
    // The enabled look of a hovered button: Normal frame over the state's gradient.
    FakeView hovered;
    PushButtonLogic other(hovered);
    other.enabledValue = kTrue;
    other.state = kHot;
    other.Resized();
    EXPECT_EQ(hovered.faces.back(), Drawn(Face::kNormal, kShadeTop));
}

TEST(PushButtonLogic, PropertiesAndTheirRedraws) {
    FakeView view;
    PushButtonLogic button(view);
    // A new instance without stored properties is disabled until Enabled is first read.
    EXPECT_EQ(button.enabledValue, kFalse);
    EXPECT_EQ(button.Enabled(), kTrue);
    EXPECT_EQ(button.firstRun, 1);
    EXPECT_EQ(view.faces.back().first, Face::kNormal);

    button.SetEnabled(kFalse);
    EXPECT_EQ(view.faces.back().first, Face::kDisable);
    EXPECT_FALSE(view.captionEnabled);
    button.state = kHot;
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
    button.SetCaption(L"設定");
    EXPECT_TRUE(view.faces.empty());  // the label redraws itself
}

TEST(PushButtonLogic, FirstRunZeroKeepsResettingTheCaptionColour) {
    FakeView view;
    PushButtonLogic button(view);
    button.enabledValue = kTrue;
    button.firstRun = 0;
    view.captionColour = 0x0000FF;
    button.SetFontColour(0x00FF00);
    EXPECT_EQ(view.captionColour, 0u);
}

const forms::FontSpec kAmbient{L"ＭＳ Ｐゴシック", 9.75, 400, false, false, false, 128};

TEST(PushButtonLogic, SaveAndRestore) {
    // "Command" is the written default and comes back as "Command1".
    FakeView saved;
    PushButtonLogic original(saved);
    original.enabledValue = kTrue;
    original.firstRun = 1;
    saved.font = kAmbient;
    forms::PropertyStore store;
    original.Save(store, kAmbient);
    EXPECT_EQ(store.Size(), 0u);  // everything at its default
    FakeView restored;
    PushButtonLogic copy(restored);
    copy.Restore(store, kAmbient);
    EXPECT_EQ(restored.caption, L"Command1");
    EXPECT_EQ(copy.enabledValue, kTrue);

    // Other captions, the empty one included, come back unchanged.
    for (const std::wstring& caption : {std::wstring(L"ｷｬﾝｾﾙ"), std::wstring()}) {
        saved.caption = caption;
        forms::PropertyStore s;
        original.Save(s, kAmbient);
        FakeView back;
        PushButtonLogic again(back);
        again.Restore(s, kAmbient);
        EXPECT_EQ(back.caption, caption);
    }

    // Disabled, a colour and a first run of 0 are stored; any non-zero Enabled reads as true.
    original.enabledValue = kFalse;
    original.firstRun = 0;
    saved.captionColour = 0x123456;
    forms::PropertyStore s;
    original.Save(s, kAmbient);
    EXPECT_TRUE(s.Contains(L"enabled") && s.Contains(L"FIRSTRUN") && s.Contains(L"FontColour"));
    s.Write(L"Enabled", int32_t{5}, kTrue);
    FakeView back;
    PushButtonLogic again(back);
    again.Restore(s, kAmbient);
    EXPECT_EQ(again.enabledValue, kTrue);
    EXPECT_EQ(again.firstRun, 0);
    EXPECT_EQ(back.captionColour, 0u);  // first run 0 and enabled: ApplyNormalLook made it black
}

TEST(PushButtonLogic, LayoutWithOnlyCaptionAndFontRestoresAnEnabledButton) {
    forms::PropertyStore layout;
    const forms::FontSpec font{L"ＭＳ Ｐゴシック", 9.75, 400, false, false, false, 128};
    layout.Write(L"caption", std::wstring(L"設定"), std::wstring(L"Command"));
    layout.Write(L"font", font, forms::FontSpec{});
    FakeView view;
    PushButtonLogic button(view);
    button.Restore(layout, forms::FontSpec{L"Arial", 8, 400, false, false, false, 0});
    EXPECT_EQ(button.enabledValue, kTrue);
    EXPECT_EQ(button.firstRun, 1);
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
