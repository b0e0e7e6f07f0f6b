// Keyboard, mouse and joysticks: the scan-code table, the key state and its
// replaceable source, read_char, the stored mouse, joysticks over SDL's
// virtual joystick, and the start-up log lines.

#include <SDL.h>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

#include "core/log.h"
#include "media/input.h"
#include "media/keymap.h"
#include "media/renderer.h"
#include "support/quiet_environment.h"
#include "support/scratch_folder.h"

namespace {

::testing::Environment* const quiet_environment =
    ::testing::AddGlobalTestEnvironment(new QuietEnvironment);

// ---------------------------------------------------------------------------
// The scan-code table against every named key of the game's key-name table.

struct NamedKey {
    int code;
    const char* name;
    SDL_Scancode scancode;   // the key at that position on a PC keyboard
};

const NamedKey NAMED_KEYS[] = {
    {1, "ESC", SDL_SCANCODE_ESCAPE},
    {2, "1", SDL_SCANCODE_1},
    {3, "2", SDL_SCANCODE_2},
    {4, "3", SDL_SCANCODE_3},
    {5, "4", SDL_SCANCODE_4},
    {6, "5", SDL_SCANCODE_5},
    {7, "6", SDL_SCANCODE_6},
    {8, "7", SDL_SCANCODE_7},
    {9, "8", SDL_SCANCODE_8},
    {10, "9", SDL_SCANCODE_9},
    {11, "0", SDL_SCANCODE_0},
    {12, "-", SDL_SCANCODE_MINUS},
    {13, "=", SDL_SCANCODE_EQUALS},
    {14, "BACKSPACE", SDL_SCANCODE_BACKSPACE},
    {15, "TAB", SDL_SCANCODE_TAB},
    {16, "Q", SDL_SCANCODE_Q},
    {17, "W", SDL_SCANCODE_W},
    {18, "E", SDL_SCANCODE_E},
    {19, "R", SDL_SCANCODE_R},
    {20, "T", SDL_SCANCODE_T},
    {21, "Y", SDL_SCANCODE_Y},
    {22, "U", SDL_SCANCODE_U},
    {23, "I", SDL_SCANCODE_I},
    {24, "O", SDL_SCANCODE_O},
    {25, "P", SDL_SCANCODE_P},
    {26, "[", SDL_SCANCODE_LEFTBRACKET},
    {27, "]", SDL_SCANCODE_RIGHTBRACKET},
    {28, "ENTER", SDL_SCANCODE_RETURN},
    {29, "LEFT CTRL", SDL_SCANCODE_LCTRL},
    {30, "A", SDL_SCANCODE_A},
    {31, "S", SDL_SCANCODE_S},
    {32, "D", SDL_SCANCODE_D},
    {33, "F", SDL_SCANCODE_F},
    {34, "G", SDL_SCANCODE_G},
    {35, "H", SDL_SCANCODE_H},
    {36, "J", SDL_SCANCODE_J},
    {37, "K", SDL_SCANCODE_K},
    {38, "L", SDL_SCANCODE_L},
    {39, ";", SDL_SCANCODE_SEMICOLON},
    {40, "'", SDL_SCANCODE_APOSTROPHE},
    {41, "'", SDL_SCANCODE_GRAVE},
    {42, "LEFT SHIFT", SDL_SCANCODE_LSHIFT},
    {43, "#", SDL_SCANCODE_BACKSLASH},
    {44, "Z", SDL_SCANCODE_Z},
    {45, "X", SDL_SCANCODE_X},
    {46, "C", SDL_SCANCODE_C},
    {47, "V", SDL_SCANCODE_V},
    {48, "B", SDL_SCANCODE_B},
    {49, "N", SDL_SCANCODE_N},
    {50, "M", SDL_SCANCODE_M},
    {51, ",", SDL_SCANCODE_COMMA},
    {52, ".", SDL_SCANCODE_PERIOD},
    {53, "/", SDL_SCANCODE_SLASH},
    {54, "RIGHT SHIFT", SDL_SCANCODE_RSHIFT},
    {55, "* NUMPAD", SDL_SCANCODE_KP_MULTIPLY},
    {56, "ALT", SDL_SCANCODE_LALT},
    {57, "SPACE", SDL_SCANCODE_SPACE},
    {58, "CAPS", SDL_SCANCODE_CAPSLOCK},
    {59, "F1", SDL_SCANCODE_F1},
    {60, "F2", SDL_SCANCODE_F2},
    {61, "F3", SDL_SCANCODE_F3},
    {62, "F4", SDL_SCANCODE_F4},
    {63, "F5", SDL_SCANCODE_F5},
    {64, "F6", SDL_SCANCODE_F6},
    {65, "F7", SDL_SCANCODE_F7},
    {66, "F8", SDL_SCANCODE_F8},
    {67, "F9", SDL_SCANCODE_F9},
    {68, "F10", SDL_SCANCODE_F10},
    {69, "NUM LOCK", SDL_SCANCODE_NUMLOCKCLEAR},
    {70, "SCROLL LOCK", SDL_SCANCODE_SCROLLLOCK},
    {71, "7 NUMPAD", SDL_SCANCODE_KP_7},
    {72, "8 NUMPAD", SDL_SCANCODE_KP_8},
    {73, "9 NUMPAD", SDL_SCANCODE_KP_9},
    {74, "- NUMPAD", SDL_SCANCODE_KP_MINUS},
    {75, "4 NUMPAD", SDL_SCANCODE_KP_4},
    {76, "5 NUMPAD", SDL_SCANCODE_KP_5},
    {77, "6 NUMPAD", SDL_SCANCODE_KP_6},
    {78, "+ NUMPAD", SDL_SCANCODE_KP_PLUS},
    {79, "1 NUMPAD", SDL_SCANCODE_KP_1},
    {80, "2 NUMPAD", SDL_SCANCODE_KP_2},
    {81, "3 NUMPAD", SDL_SCANCODE_KP_3},
    {82, "0 NUMPAD", SDL_SCANCODE_KP_0},
    {83, "DEL NUMPAD", SDL_SCANCODE_KP_PERIOD},
    {86, "\\", SDL_SCANCODE_NONUSBACKSLASH},
    {87, "F11", SDL_SCANCODE_F11},
    {88, "F12", SDL_SCANCODE_F12},
    {156, "ENTER NUMPAD", SDL_SCANCODE_KP_ENTER},
    {157, "RIGHT CTRL", SDL_SCANCODE_RCTRL},
    {181, "/ NUMPAD", SDL_SCANCODE_KP_DIVIDE},
    {183, "PRINT SCREEN", SDL_SCANCODE_PRINTSCREEN},
    {184, "ALT GR", SDL_SCANCODE_RALT},
    {197, "PAUSE BREAK", SDL_SCANCODE_PAUSE},
    {199, "HOME", SDL_SCANCODE_HOME},
    {200, "CURSOR UP", SDL_SCANCODE_UP},
    {201, "PAGE UP", SDL_SCANCODE_PAGEUP},
    {203, "CURSOR LEFT", SDL_SCANCODE_LEFT},
    {205, "CURSOR RIGHT", SDL_SCANCODE_RIGHT},
    {207, "END", SDL_SCANCODE_END},
    {208, "CURSOR DOWN", SDL_SCANCODE_DOWN},
    {209, "PAGE DOWN", SDL_SCANCODE_PAGEDOWN},
    {210, "INSERT", SDL_SCANCODE_INSERT},
    {211, "DELETE", SDL_SCANCODE_DELETE},
};

TEST(KeyTable, EveryNamedKeyMapsToItsPosition)
{
    for (const NamedKey& key : NAMED_KEYS) {
        EXPECT_EQ(scancode_for_key_code(key.code), key.scancode) << key.code << " " << key.name;
        EXPECT_EQ(key_code_for_scancode(key.scancode), key.code) << key.code << " " << key.name;
    }
}

TEST(KeyTable, SystemKeysOfTheWindowsRow)
{
    EXPECT_EQ(key_code_for_scancode(SDL_SCANCODE_LGUI), 219);
    EXPECT_EQ(key_code_for_scancode(SDL_SCANCODE_RGUI), 220);
    EXPECT_EQ(key_code_for_scancode(SDL_SCANCODE_APPLICATION), 221);
}

TEST(KeyTable, IsoHashKeyUnderEitherScancodeIsCode43)
{
    EXPECT_EQ(key_code_for_scancode(SDL_SCANCODE_NONUSHASH), 43);
    EXPECT_EQ(key_code_for_scancode(SDL_SCANCODE_BACKSLASH), 43);
}

TEST(KeyTable, NoScancodeAppearsTwiceAndCodesStayInRange)
{
    std::set<int> scancodes;
    for (int i = 0; i < KEY_MAPPING_COUNT; ++i) {
        EXPECT_TRUE(scancodes.insert(KEY_MAPPINGS[i].scancode).second)
            << "scancode " << KEY_MAPPINGS[i].scancode << " mapped twice";
        EXPECT_GT(KEY_MAPPINGS[i].code, 0);
        EXPECT_LT(KEY_MAPPINGS[i].code, 255);   // 255 is the key screen's "no key"
    }
}

TEST(KeyTable, UnknownScancodeAndUnusedCodeMapToNothing)
{
    EXPECT_EQ(key_code_for_scancode(SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(key_code_for_scancode(SDL_SCANCODE_F24), 0);
    EXPECT_EQ(scancode_for_key_code(255), SDL_SCANCODE_UNKNOWN);
    EXPECT_EQ(scancode_for_key_code(0), SDL_SCANCODE_UNKNOWN);
}

TEST(KeyTable, StateFromScancodesSetsExactlyThePressedPositions)
{
    std::vector<unsigned char> pressed(SDL_NUM_SCANCODES, 0);
    pressed[SDL_SCANCODE_Y] = 1;   // the key between T and U
    pressed[SDL_SCANCODE_Z] = 1;   // the key right of left Shift
    pressed[SDL_SCANCODE_KP_ENTER] = 1;
    pressed[SDL_SCANCODE_RALT] = 1;
    unsigned char state[KEY_CODE_COUNT];
    std::memset(state, 0x55, sizeof state);   // stale contents must go
    key_state_from_scancodes(pressed.data(), static_cast<int>(pressed.size()), state);
    for (int code = 0; code < KEY_CODE_COUNT; ++code) {
        bool expected = code == 21 || code == 44 || code == 156 || code == 184;
        EXPECT_EQ(state[code], expected ? KEY_DOWN_BIT : 0) << "code " << code;
    }
}

TEST(KeyTable, ShortScancodeArrayIsNotReadPastItsEnd)
{
    // A pressed array that ends before the navigation block: those keys read up.
    std::vector<unsigned char> pressed(SDL_SCANCODE_F1, 1);
    unsigned char state[KEY_CODE_COUNT];
    key_state_from_scancodes(pressed.data(), static_cast<int>(pressed.size()), state);
    EXPECT_EQ(state[30], KEY_DOWN_BIT);   // A lies inside
    EXPECT_EQ(state[200], 0);             // Up lies beyond
}

// ---------------------------------------------------------------------------
// The key state through a scripted keyboard.

unsigned char scripted[KEY_CODE_COUNT];
int source_calls = 0;

bool fill_from_script(unsigned char state[KEY_CODE_COUNT])
{
    ++source_calls;
    std::memcpy(state, scripted, KEY_CODE_COUNT);
    return true;
}

// Sets only the keys it holds: poll_keyboard must clear the rest itself.
bool fill_only_space(unsigned char state[KEY_CODE_COUNT])
{
    state[57] = KEY_DOWN_BIT;
    return true;
}

class ScriptedKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(scripted, 0, sizeof scripted);
        source_calls = 0;
        set_key_source(fill_from_script);
        read_char();   // no key down: forget the last character
        source_calls = 0;
    }
    void TearDown() override { set_key_source(nullptr); }

    static void hold(int code) { scripted[code] = KEY_DOWN_BIT; }
    static void release(int code) { scripted[code] = 0; }
};

TEST_F(ScriptedKeys, KeyDownPollsAndReadsBit7)
{
    hold(57);
    EXPECT_EQ(key_down(57), 1);
    EXPECT_EQ(key_down(28), 0);
    release(57);
    EXPECT_EQ(key_down(57), 0);
}

TEST_F(ScriptedKeys, OnlyBit7CountsAsDown)
{
    scripted[30] = 0x7F;
    EXPECT_EQ(key_down(30), 0);
}

TEST_F(ScriptedKeys, CodesUseTheirLowEightBits)
{
    hold(1);
    EXPECT_EQ(key_down(257), key_down(1));
    EXPECT_EQ(key_down(257), 1);
    EXPECT_EQ(key_down(1 + 256 * 7), 1);
    release(1);
    EXPECT_EQ(key_down(257), 0);
}

TEST_F(ScriptedKeys, KeyHeldAnswersFromTheLastPollWithoutPolling)
{
    hold(62);
    poll_keyboard();
    release(62);
    int calls = source_calls;
    EXPECT_EQ(key_held(62), 1);
    EXPECT_EQ(source_calls, calls);
    poll_keyboard();
    EXPECT_EQ(key_held(62), 0);
}

TEST_F(ScriptedKeys, EveryKeyDownCallPollsTheSource)
{
    key_down(1);
    key_down(2);
    EXPECT_EQ(source_calls, 2);
}

TEST(KeySource, PollClearsWhatTheSourceDoesNotSet)
{
    unsigned char all_down[KEY_CODE_COUNT];
    std::memset(all_down, KEY_DOWN_BIT, sizeof all_down);
    std::memcpy(scripted, all_down, sizeof scripted);
    set_key_source(fill_from_script);
    EXPECT_EQ(key_down(30), 1);
    set_key_source(fill_only_space);
    EXPECT_EQ(key_down(30), 0);
    EXPECT_EQ(key_down(57), 1);
    set_key_source(nullptr);
}

TEST(KeySource, SurvivesInputStartUpAndShutDown)
{
    set_key_source(fill_only_space);
    input_init(false);
    EXPECT_EQ(key_down(57), 1);
    input_shutdown();
    EXPECT_EQ(key_down(57), 1);
    set_key_source(nullptr);
}

// ---------------------------------------------------------------------------
// read_char: once per press.  Characters come from SDL's keyboard layout,
// which exists once SDL's video part runs: here its headless driver, whose
// layout is SDL's default US one.

class TypedKeys : public ScriptedKeys {
protected:
    void SetUp() override
    {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ScriptedKeys::SetUp();
    }
    void TearDown() override
    {
        ScriptedKeys::TearDown();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
};

TEST_F(TypedKeys, HeldKeyGivesItsCharacterOnce)
{
    hold(30);   // A
    EXPECT_EQ(read_char(), 'a');
    EXPECT_EQ(read_char(), 0);
    EXPECT_EQ(read_char(), 0);
    release(30);
    EXPECT_EQ(read_char(), 0);
    hold(30);
    EXPECT_EQ(read_char(), 'a');
}

TEST_F(TypedKeys, AnotherKeyGivesItsCharacterAtOnce)
{
    hold(30);
    EXPECT_EQ(read_char(), 'a');
    release(30);
    hold(48);   // B, without a call in between that saw no key
    EXPECT_EQ(read_char(), 'b');
}

TEST_F(TypedKeys, LowestCodeDownWins)
{
    hold(48);   // B
    hold(30);   // A, lower code
    EXPECT_EQ(read_char(), 'a');
    EXPECT_EQ(read_char(), 0);   // still A first
}

TEST_F(TypedKeys, ShiftMakesLettersUpperCaseAndCountsAsTheSameCharacter)
{
    hold(30);
    hold(42);
    EXPECT_EQ(read_char(), 'A');
    release(42);
    EXPECT_EQ(read_char(), 0);   // 'a' after 'A': same key, case ignored
    release(30);
    read_char();
    hold(54);   // right Shift
    hold(17);   // W
    EXPECT_EQ(read_char(), 'W');
}

TEST_F(TypedKeys, FixedCharactersForBackspaceAndBothEnters)
{
    hold(14);
    EXPECT_EQ(read_char(), 8);
    release(14);
    hold(28);
    EXPECT_EQ(read_char(), 10);
    release(28);
    read_char();
    hold(156);
    EXPECT_EQ(read_char(), 10);
}

TEST_F(TypedKeys, ModifiersAndControlKeysGiveNoCharacter)
{
    for (int code : {1, 15, 29, 42, 54, 56, 58, 69, 211, 221, 200}) {
        hold(code);
        EXPECT_EQ(read_char(), 0) << "code " << code;
        release(code);
    }
}

TEST_F(TypedKeys, SpaceDigitsAndPad)
{
    hold(57);
    EXPECT_EQ(read_char(), ' ');
    release(57);
    hold(2);
    EXPECT_EQ(read_char(), '1');
    release(2);
    hold(71);
    EXPECT_EQ(read_char(), '7');
    release(71);
    hold(55);
    EXPECT_EQ(read_char(), '*');
}

TEST_F(TypedKeys, LettersFollowTheLayoutOfTheirPosition)
{
    ASSERT_EQ(SDL_GetKeyFromScancode(SDL_SCANCODE_Y), SDLK_y);
    hold(21);
    EXPECT_EQ(read_char(), 'y');
    release(21);
    hold(44);
    EXPECT_EQ(read_char(), 'z');
}

TEST_F(TypedKeys, ShiftAloneAfterALetterForgetsTheLetter)
{
    hold(30);
    EXPECT_EQ(read_char(), 'a');
    release(30);
    hold(42);
    EXPECT_EQ(read_char(), 0);
    release(42);
    hold(30);
    EXPECT_EQ(read_char(), 'a');
}

// ---------------------------------------------------------------------------
// The stored mouse (no window: movement counts in screen pixels 1:1).

class StoredMouse : public ::testing::Test {
protected:
    void SetUp() override
    {
        renderer = new OpenGLZadodedo();
        renderer->screen_width = 320;
        renderer->screen_height = 240;
        input_init(false);
        show_mouse_cursor(0);
    }
    void TearDown() override
    {
        input_shutdown();
        delete renderer;
        renderer = nullptr;
    }

    static void motion(int dx, int dy)
    {
        SDL_Event event = {};
        event.type = SDL_MOUSEMOTION;
        event.motion.xrel = dx;
        event.motion.yrel = dy;
        input_handle_event(event);
    }
    static void wheel(int turn, bool flipped)
    {
        SDL_Event event = {};
        event.type = SDL_MOUSEWHEEL;
        event.wheel.y = turn;
        event.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
        input_handle_event(event);
    }
    static void read(double* x, double* y)
    {
        double left, right;
        mouse_state(x, y, &left, &right);
    }
};

TEST_F(StoredMouse, PositionIsClampedToTheScreen)
{
    double x, y;
    set_mouse(500, -20);
    read(&x, &y);
    EXPECT_EQ(x, 319);
    EXPECT_EQ(y, 0);
    set_mouse(-3, 1e6);
    read(&x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 239);
}

TEST_F(StoredMouse, SetMouseTruncatesTowardZero)
{
    double x, y;
    set_mouse(10.9, 20.2);
    read(&x, &y);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 20);
}

TEST_F(StoredMouse, HiddenCursorAddsMovementOnceAPollMadeItDue)
{
    double x, y;
    set_mouse(100, 100);
    read(&x, &y);   // applies whatever start-up left due
    motion(5, -3);
    motion(2, 1);
    read(&x, &y);
    EXPECT_EQ(x, 100);   // no poll since: the movement waits
    EXPECT_EQ(y, 100);
    poll_keyboard();
    read(&x, &y);
    EXPECT_EQ(x, 107);
    EXPECT_EQ(y, 98);
    poll_keyboard();
    read(&x, &y);
    EXPECT_EQ(x, 107);   // applied once only
}

TEST_F(StoredMouse, MovementPastTheEdgeStopsAtTheEdge)
{
    double x, y;
    set_mouse(310, 5);
    motion(50, -50);
    poll_keyboard();
    read(&x, &y);
    EXPECT_EQ(x, 319);
    EXPECT_EQ(y, 0);
}

TEST_F(StoredMouse, WheelIsMinusOneZeroOrOne)
{
    double x, y;
    wheel(3, false);
    poll_keyboard();
    read(&x, &y);
    EXPECT_EQ(mouse_wheel(), 1);
    wheel(2, true);
    poll_keyboard();
    read(&x, &y);
    EXPECT_EQ(mouse_wheel(), -1);
    poll_keyboard();
    read(&x, &y);
    EXPECT_EQ(mouse_wheel(), 0);
}

TEST_F(StoredMouse, CursorFlagFollowsShowMouseCursor)
{
    EXPECT_FALSE(mouse_cursor_visible());
    show_mouse_cursor(2);
    EXPECT_TRUE(mouse_cursor_visible());
    show_mouse_cursor(0);
    EXPECT_FALSE(mouse_cursor_visible());
}

TEST_F(StoredMouse, NoButtonsWithoutAMouse)
{
    double x, y, left = -1, right = -1;
    mouse_state(&x, &y, &left, &right);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(right, 0);
    EXPECT_EQ(any_mouse_button(), 0);
}

// ---------------------------------------------------------------------------
// Joysticks, through SDL's virtual joystick.

class VirtualJoystick : public ::testing::Test {
protected:
    int device = -1;

    void TearDown() override
    {
        if (device >= 0) SDL_JoystickDetachVirtual(device);
        input_shutdown();
    }

    // Attaches a stick with 3 axes, 4 buttons and 1 hat; false when SDL has
    // no virtual joysticks.
    bool attach()
    {
        device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 3, 4, 1);
        return device >= 0;
    }

    static void pump()
    {
        SDL_Event event;
        while (SDL_PollEvent(&event)) input_handle_event(event);
    }

    SDL_Joystick* handle() const
    {
        return SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(device));
    }
};

TEST_F(VirtualJoystick, StateUsesTheFixedLayout)
{
    input_init(false);
    if (!attach()) GTEST_SKIP() << "no virtual joysticks: " << SDL_GetError();
    pump();
    ASSERT_EQ(joystick_count(), 1);
    SDL_Joystick* stick = handle();
    ASSERT_NE(stick, nullptr);
    SDL_JoystickSetVirtualAxis(stick, 0, -32768);
    SDL_JoystickSetVirtualAxis(stick, 1, 32767);
    SDL_JoystickSetVirtualAxis(stick, 2, 0);
    SDL_JoystickSetVirtualButton(stick, 2, SDL_PRESSED);
    SDL_JoystickSetVirtualHat(stick, 0, SDL_HAT_RIGHTUP);

    JoystickState state;
    joystick_state(0, &state);
    EXPECT_EQ(state.x, 0);
    EXPECT_EQ(state.y, 65535);
    EXPECT_EQ(state.z, 32768);
    EXPECT_EQ(state.rx, 0);   // the stick has no such axis
    EXPECT_EQ(state.buttons[0], 0);
    EXPECT_EQ(state.buttons[2], KEY_DOWN_BIT);
    EXPECT_EQ(state.buttons[4], 0);
    EXPECT_EQ(state.pov[0], 4500u);
    EXPECT_EQ(state.pov[1], 0xFFFFFFFFu);
}

TEST_F(VirtualJoystick, HatDirectionsInHundredthsOfADegree)
{
    input_init(false);
    if (!attach()) GTEST_SKIP() << "no virtual joysticks: " << SDL_GetError();
    pump();
    ASSERT_EQ(joystick_count(), 1);
    const std::pair<Uint8, uint32_t> hats[] = {
        {SDL_HAT_UP, 0},       {SDL_HAT_RIGHT, 9000},   {SDL_HAT_DOWN, 18000},
        {SDL_HAT_LEFT, 27000}, {SDL_HAT_LEFTUP, 31500}, {SDL_HAT_CENTERED, 0xFFFFFFFFu}};
    for (const auto& hat : hats) {
        SDL_JoystickSetVirtualHat(handle(), 0, hat.first);
        JoystickState state;
        joystick_state(0, &state);
        EXPECT_EQ(state.pov[0], hat.second) << "hat " << int(hat.first);
    }
}

TEST_F(VirtualJoystick, AttachedBeforeStartUpIsOpenedOnce)
{
    SDL_InitSubSystem(SDL_INIT_JOYSTICK);
    bool attached = attach();
    if (!attached) {
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        GTEST_SKIP() << "no virtual joysticks: " << SDL_GetError();
    }
    input_init(false);
    pump();   // SDL also reports the stick as newly added
    EXPECT_EQ(joystick_count(), 1);
    EXPECT_STRNE(joystick_name(0), "");
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

TEST_F(VirtualJoystick, RemovalForgetsTheStick)
{
    input_init(false);
    if (!attach()) GTEST_SKIP() << "no virtual joysticks: " << SDL_GetError();
    pump();
    ASSERT_EQ(joystick_count(), 1);
    SDL_JoystickDetachVirtual(device);
    device = -1;
    pump();
    EXPECT_EQ(joystick_count(), 0);
}

TEST(Joystick, MissingIndexReadsAllZero)
{
    input_init(false);
    JoystickState state;
    std::memset(&state, 0x5A, sizeof state);
    joystick_state(joystick_count() + 3, &state);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&state);
    for (size_t i = 0; i < sizeof state; ++i) ASSERT_EQ(bytes[i], 0) << "byte " << i;
    joystick_state(-1, &state);
    EXPECT_EQ(state.x, 0);
    EXPECT_STREQ(joystick_name(-1), "");
    input_shutdown();
}

// ---------------------------------------------------------------------------
// Start-up without SDL's video part: one line per missing device.

std::string read_log()
{
    std::vector<unsigned char> bytes = read_bytes(log_path());
    return std::string(bytes.begin(), bytes.end());
}

TEST(InputStartUp, WithoutVideoLogsNoInputAndNoMouseWhenWanted)
{
    ASSERT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    ScratchFolder scratch;
    TempFolderOverride temp(scratch.path);
    input_init(true);
    input_shutdown();
    EXPECT_EQ(read_log(), "No DX_Input\r\nNo DX_Mouse\r\n");
    log_delete();
    input_init(false);
    input_shutdown();
    EXPECT_EQ(read_log(), "No DX_Input\r\n");
}

}   // namespace
