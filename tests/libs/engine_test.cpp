// The engine library: loop pacing on simulated time, keys, the letterboxed frame, text and
// textures.
#include "core.h"
#include "display.h"
#include "exgine.h"
#include "input.h"
#include "log.h"
#include "offscreen_gl.h"
#include "pacing.h"
#include "run_program.h"
#include "scratch_folder.h"
#include "text.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <tuple>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// ---- Pacing ----

TEST(StepPacer, RunsEveryStepOnceOverAHundredSimulatedSeconds) {
    StepPacer pacer;
    StartPacer(pacer, 30, 5000);
    int64_t total = 0;
    uint32_t jitter = 1;
    for (int64_t now = 5000; now <= 5000 + 100000000; now += 7000 + jitter % 16000) {
        total += StepsDue(pacer, now);
        // Exactly the steps due by now have run: step k falls due at k / 30 s.
        ASSERT_EQ(total, (now - 5000) * 30 / 1000000 + 1) << "at " << now;
        jitter = jitter * 1103515245u + 12345u;
    }
    EXPECT_GE(total, 3000);
    EXPECT_EQ(StepsDue(pacer, 5000 + 100000000), 3001 - total);
}

TEST(StepPacer, CatchesUpABoundedNumberOfStepsAfterAStallThenKeepsTheRate) {
    StepPacer pacer;
    StartPacer(pacer, 30, 0);
    int64_t now = 0;
    for (; now < 1000000; now += 10000) StepsDue(pacer, now);
    now += 2000000;
    EXPECT_EQ(StepsDue(pacer, now), MaxCatchUpSteps);
    EXPECT_EQ(StepsDue(pacer, now + 1000), 0) << "the rest of the stall is dropped";
    int after = 0;
    for (int64_t t = now + 10000; t <= now + 1000000; t += 10000) after += StepsDue(pacer, t);
    EXPECT_NEAR(after, 30, 1);
    EXPECT_EQ(StepsDue(pacer, -1), 0) << "a clock before the start runs nothing";
}

TEST(StepPacer, HoldsRatesInRangeAndWaitsOutTheFramePeriod) {
    StepPacer pacer;
    StartPacer(pacer, 0, 0);
    EXPECT_EQ(pacer.Rate, 1);
    StartPacer(pacer, 1 << 30, 0);
    EXPECT_EQ(pacer.Rate, MaxStepRate);
    EXPECT_EQ(FrameSleepUs(1000, 4000, 10000, false), 7000);
    EXPECT_EQ(FrameSleepUs(1000, 4000, 10000, true), 5000) << "vsync's swap waits the rest";
    EXPECT_EQ(FrameSleepUs(1000, 20000, 10000, false), 0) << "a late frame does not wait";
}

TEST(Letterbox, FitsTheFrameCentredWithItsAspect) {
    auto same = [](FitRect a, FitRect b) {
        return a.X == b.X && a.Y == b.Y && a.Width == b.Width && a.Height == b.Height;
    };
    EXPECT_TRUE(same(LetterboxRect(800, 600, 800, 600), {0, 0, 800, 600}));
    EXPECT_TRUE(same(LetterboxRect(800, 600, 1920, 1080), {240, 0, 1440, 1080}));
    EXPECT_TRUE(same(LetterboxRect(800, 600, 1280, 1024), {0, 32, 1280, 960}));
    EXPECT_TRUE(same(LetterboxRect(800, 600, 1000, 500), {166, 0, 667, 500}));
    EXPECT_TRUE(same(LetterboxRect(800, 600, 0, 500), {}));
    EXPECT_TRUE(same(LetterboxRect(0, 600, 800, 600), {}));
}

TEST(Presentation, ScalesSharplyAtWholeNumbersAndNeverFasterThanTheDisplay) {
    EXPECT_EQ(ScaleFilter(800, 600, LetterboxRect(800, 600, 800, 600)), GLenum(GL_NEAREST));
    EXPECT_EQ(ScaleFilter(800, 600, LetterboxRect(800, 600, 1920, 1200)), GLenum(GL_NEAREST));
    EXPECT_EQ(ScaleFilter(800, 600, LetterboxRect(800, 600, 1024, 768)), GLenum(GL_LINEAR));
    EXPECT_EQ(ScaleFilter(800, 600, FitRect{0, 0, 1600, 600}), GLenum(GL_LINEAR));
    EXPECT_EQ(ScaleFilter(800, 600, FitRect{0, 0, 400, 300}), GLenum(GL_LINEAR));
    EXPECT_EQ(ScaleFilter(0, 600, FitRect{}), GLenum(GL_NEAREST));

    EXPECT_EQ(FrameRateCap(60, 75), 60) << "no faster than the display shows";
    EXPECT_EQ(FrameRateCap(144, 75), 75) << "no faster than the program asked";
    EXPECT_EQ(FrameRateCap(0, 75), DefaultFrameRate) << "a display that does not say";
    EXPECT_EQ(FrameRateCap(120, 0), 120);
    EXPECT_EQ(FrameRateCap(0, -5), DefaultFrameRate);
    EXPECT_EQ(FrameRateCap(5000, 0), MaxFrameRate);
}

// ---- Keys and text without a window ----

TEST(Keys, QueueBoundedPresses) {
    InputState input;
    for (int i = 0; i < 40; ++i) KeyChanged(input, 'A', true, false);
    KeyChanged(input, 300, true, false);
    KeyChanged(input, -1, true, false);
    int reported = 0;
    for (int step = 0; step < 40; ++step, BeginInputStep(input)) reported += input.Current == 'A';
    EXPECT_EQ(reported, static_cast<int>(MaxPendingKeys));
    EXPECT_TRUE(IsKeyHeld(input, 'A'));
    EXPECT_FALSE(IsKeyHeld(input, 300));
    ReleaseAllKeys(input);
    EXPECT_FALSE(IsKeyHeld(input, 'A'));
}

TEST(Utf8, DecodesWellFormedSequencesAndReplacesEachBadByte) {
    const std::pair<const char*, std::u32string> cases[] = {
        {"Level \xD0\x96 \xE2\x82\xAC \xF0\x9F\x98\x80", U"Level Ж € 😀"},
        {"\xC0\xAF", U"\uFFFD\uFFFD"},                     // overlong '/'
        {"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},           // a surrogate
        {"\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"}, // past U+10FFFF
        {"a\xD0", U"a\uFFFD"},                             // cut short at the end
    };
    for (const auto& [text, decoded] : cases) EXPECT_EQ(DecodeUtf8(text), decoded) << text;
}

TEST(Pads, ButtonsAndTheStickPlayTheGamesKeys) {
    InputState input;
    PadButtonChanged(input, SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_TRUE(IsKeyHeld(input, 38)) << "south holds Up";
    BeginInputStep(input);
    EXPECT_EQ(input.Current, 13) << "and presses Enter";
    PadButtonChanged(input, SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_FALSE(IsKeyHeld(input, 38));
    // The stick: past half its travel a press, back above a quarter still held, below released.
    const std::tuple<int, int, int32_t, bool> moves[] = {
        {SDL_CONTROLLER_AXIS_LEFTX, 20000, 39, true},
        {SDL_CONTROLLER_AXIS_LEFTX, 10000, 39, true},
        {SDL_CONTROLLER_AXIS_LEFTX, 1000, 39, false},
        {SDL_CONTROLLER_AXIS_LEFTY, -30000, 38, true},
        {SDL_CONTROLLER_AXIS_LEFTY, 30000, 38, false},
        {SDL_CONTROLLER_AXIS_LEFTY, 30000, 40, true},
    };
    for (const auto& [axis, value, vk, held] : moves) {
        PadAxisChanged(input, axis, value);
        EXPECT_EQ(IsKeyHeld(input, vk), held) << axis << " " << value;
    }
    int presses = 0;
    for (BeginInputStep(input); input.Current; BeginInputStep(input)) ++presses;
    EXPECT_EQ(presses, 3) << "right, up, down: the stick presses once per direction";
    PadButtonChanged(input, SDL_CONTROLLER_BUTTON_START, true);
    BeginInputStep(input);
    EXPECT_EQ(input.Current, 27);
}

TEST(Cp1251, DecodesWholeTextsToUtf8) {
    EXPECT_EQ(DecodeCp1251("\xC0\xFF\xA8\xB8"), U"АяЁё");
    EXPECT_EQ(EncodeUtf8(DecodeCp1251("\xC2\xFB\xF5\xEE\xE4 A")), "Выход A");
    EXPECT_EQ(DecodeCp1251(nullptr), U"");
}

TEST(Fonts, ArialIsFoundAsAMetricCompatibleFace) {
    FontFile file = FindFontFile("Arial");
    ASSERT_FALSE(file.Path.empty());
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face face = nullptr;
    ASSERT_EQ(FT_New_Face(library, file.Path.c_str(), file.Index, &face), 0);
    EXPECT_STREQ(face->family_name, "Liberation Sans");
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    EXPECT_FALSE(FindFontFile("No Such Face At All").Path.empty()) << "a substitute is found";
}

TEST(Fonts, TheGamesFacesCarryLatinAndCyrillicAtAnySize) {
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    for (const char* faceName : {"Arial", DefaultFontFace, "No Such Face At All"}) {
        FontFile file = FindFontFile(faceName);
        FT_Face face = nullptr;
        ASSERT_EQ(FT_New_Face(library, file.Path.c_str(), file.Index, &face), 0) << faceName;
        EXPECT_TRUE(FT_IS_SCALABLE(face)) << faceName;
        for (char32_t c : U"WqzЖяё")
            EXPECT_TRUE(c == 0 || FT_Get_Char_Index(face, c) != 0) << faceName << " " << int(c);
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
}

// ---- The running engine ----

int64_t FakeNowUs = 0;
int64_t FakeNow() {
    return FakeNowUs;
}
void FakeSleep(int64_t us) {
    FakeNowUs += us;
}

class EngineTest;
EngineTest* Current = nullptr;

// An engine on simulated time with every interface fetched, released again at the end.
class EngineTest : public ScratchFolderTest {
  protected:
    void SetUp() override {
        Current = this;
        FakeNowUs = 1000000;
        SetEngineClock(EngineClock{FakeNow, FakeSleep});
        LogPath = Dir + "/log.txt";
        ASSERT_TRUE(exInit(&Engine, LogPath.c_str()));
        Window = Engine->GetWindow();
        Render = Engine->GetRender();
        Input = Engine->GetInput();
        Textures = Engine->GetTextures();
    }
    void TearDown() override {
        if (Engine) {
            Textures->Release();
            Input->Release();
            Render->Release();
            Window->Release();
            EXPECT_EQ(Engine->Release(), 0);
        }
        SetEngineClock(SystemClock());
    }
    bool LogHas(const std::string& line) { return HasLine(ReadLines(LogPath), line); }
    void OpenWindow(int width = 800, int height = 600) {
        ASSERT_TRUE(Window->SetMode(false, width, height, 32, 75));
    }

  public:
    std::string LogPath;
    IEngine* Engine = nullptr;
    IEngineWindow* Window = nullptr;
    IEngineRender* Render = nullptr;
    IEngineInput* Input = nullptr;
    IEngineTextures* Textures = nullptr;
};

std::vector<int64_t> StepTimes;
std::vector<int> StepsPerFrame;
int FrameCount = 0;
bool Stalled = false; // the stall case's one stall has happened
void (*StopInStepThree)() = nullptr;

void CountStep() {
    StepTimes.push_back(FakeNowUs);
    if (StepsPerFrame.empty()) StepsPerFrame.push_back(0);
    ++StepsPerFrame.back();
}

class EngineLoop : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        StepTimes.clear();
        StepsPerFrame.clear();
        FrameCount = 0;
        Stalled = false;
        OpenWindow(64, 48);
    }

    // Runs with a stall every frame, so steps come in bursts, and calls `stop` in the third step.
    void RunStoppingInStepThree(void (*stop)()) {
        StopInStepThree = stop;
        Engine->SetProc(ProcUpdate, [] {
            CountStep();
            if (StepTimes.size() == 3) StopInStepThree();
        });
        Engine->SetProc(ProcRender, [] {
            ++FrameCount;
            FakeNowUs += 1000000;
        });
        Engine->Run(30);
    }
};

TEST(Engine, StartsOnceLogsAndShutsDownAtTheLastRelease) {
    std::string dir = MakeScratchDir("engine");
    std::string log = dir + "/log.txt";
    IEngine* engine = nullptr;
    EXPECT_FALSE(exInit(nullptr, log.c_str()));
    ASSERT_TRUE(exInit(&engine, log.c_str()));
    IEngine* second = engine;
    EXPECT_FALSE(exInit(&second, (dir + "/other.txt").c_str()));
    EXPECT_EQ(second, nullptr);

    IEngineLog* engineLog = engine->GetLog();
    IEngineWindow* window = engine->GetWindow();
    engineLog->Print("hello");
    engine->Run(30);
    EXPECT_EQ(window->Release(), 2);
    EXPECT_EQ(engine->Release(), 1);
    engineLog->Print("still open");
    EXPECT_EQ(engineLog->Release(), 0);

    std::vector<std::string> lines = ReadLines(log);
    EXPECT_EQ(lines,
              (std::vector<std::string>{"Engine started", "hello", "Error: Run without a window",
                                        "still open", "Engine shut down"}));
    ASSERT_TRUE(exInit(&engine, log.c_str())) << "a new engine after the last one";
    EXPECT_EQ(engine->Release(), 0);
    fs::remove_all(dir);
}

// A named pipe held the open for ever (before the window, deaf to SIGTERM); a link had the file it
// names overwritten. Both, and a folder, are refused and left as they are; a regular file is
// emptied.
TEST(Engine, TheLogIsWrittenOnlyToARegularFileNeverThroughALinkOrIntoAPipe) {
    const std::string dir = MakeScratchDir("engine");
    std::ofstream(dir + "/kept.txt") << "kept\n";
    ASSERT_EQ(mkfifo((dir + "/pipe").c_str(), 0600), 0);
    fs::create_symlink(dir + "/kept.txt", dir + "/link");
    for (const char* name : {"pipe", "link", "kept.txt"}) {
        EngineLogFile log;
        OpenLogFile(log, (dir + "/" + name).c_str());
        const bool opened = log.File != nullptr;
        WriteLog(log, "new");
        CloseLogFile(log);
        EXPECT_EQ(opened, name == std::string("kept.txt")) << name;
        EXPECT_EQ(ReadLines(dir + "/kept.txt").at(0), opened ? "new" : "kept") << name;
    }
    fs::remove_all(dir);
}

IEngine* Releasing = nullptr;

TEST(Engine, ReleasedFromInsideTheLoopShutsDownWhenTheLoopEnds) {
    std::string dir = MakeScratchDir("engine");
    std::string log = dir + "/log.txt";
    ASSERT_TRUE(exInit(&Releasing, log.c_str()));
    IEngineWindow* window = Releasing->GetWindow();
    ASSERT_TRUE(window->SetMode(false, 64, 48, 32, 75));
    EXPECT_EQ(window->Release(), 1);
    Releasing->SetProc(ProcUpdate, [] {
        Releasing->Quit();
        EXPECT_EQ(Releasing->Release(), 0);
    });
    Releasing->Run(30);
    std::vector<std::string> lines = ReadLines(log);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "Run ended: 1 steps, 0 frames, 0 shown");
    EXPECT_EQ(lines.back(), "Engine shut down");
    IEngine* again = nullptr;
    ASSERT_TRUE(exInit(&again, log.c_str()));
    EXPECT_EQ(again->Release(), 0);
    fs::remove_all(dir);
}

TEST_F(EngineLoop, RunsThirtyStepsASecondAndAFrameAfterEachOnSimulatedTime) {
    Engine->SetProc(ProcUpdate, [] {
        CountStep();
        if (FakeNowUs >= 11000000) Current->Engine->Quit();
    });
    Engine->SetProc(ProcRender, [] {
        ++FrameCount;
        StepsPerFrame.push_back(0);
    });
    Engine->Run(30);
    // Steps at 0, 1/30, ... 10 s after the start; Quit in the last one ends the loop.
    ASSERT_EQ(StepTimes.size(), 301u);
    for (size_t k = 0; k < StepTimes.size(); ++k) {
        int64_t due = 1000000 + static_cast<int64_t>(k) * 1000000 / 30;
        ASSERT_GE(StepTimes[k], due) << "step " << k << " ran early";
        ASSERT_LT(StepTimes[k], due + 20000) << "step " << k << " ran late";
    }
    // The offscreen display has no vsync: one frame follows each step, none between two steps.
    EXPECT_EQ(FrameCount, 300) << "no frame after the step that quit";
    EXPECT_EQ(*std::max_element(StepsPerFrame.begin(), StepsPerFrame.end()), 1);
    EXPECT_EQ(Engine->GetTime(), (FakeNowUs - 1000000) / 1000);
    EXPECT_TRUE(LogHas("Run ended: 301 steps, 300 frames, 1 shown")) << "all alike, shown once";
}

TEST_F(EngineLoop, ShowsAFrameOnlyWhenItsPixelsChangedOrTheWindowWasUncovered) {
    Engine->SetProc(ProcUpdate, [] {
        CountStep();
        SDL_Event exposed{};
        exposed.type = SDL_WINDOWEVENT;
        exposed.window.event = SDL_WINDOWEVENT_EXPOSED;
        if (StepTimes.size() == 23) SDL_PushEvent(&exposed);
        if (StepTimes.size() == 60) Current->Engine->Quit();
    });
    Engine->SetProc(ProcRender, [] {
        glClearColor(StepTimes.size() / 5 % 2, 0, 0, 1); // runs of 5 frames in one colour
        glClear(GL_COLOR_BUFFER_BIT);
    });
    Engine->Run(30);
    // 59 frames in 12 runs (the first 4 long), and the 24th frame, after the exposure, once more.
    EXPECT_TRUE(LogHas("Run ended: 60 steps, 59 frames, 13 shown"));
}

TEST_F(EngineLoop, AfterAStallRunsAtMostTheCatchUpStepsThenDropsTheRest) {
    Engine->SetProc(ProcUpdate, [] {
        CountStep();
        if (FakeNowUs >= 5000000) Current->Engine->Quit();
    });
    Engine->SetProc(ProcRender, [] {
        if (!Stalled && FakeNowUs >= 2000000) {
            Stalled = true;
            FakeNowUs += 2000000;
        }
        StepsPerFrame.push_back(0);
    });
    Engine->Run(30);
    EXPECT_EQ(*std::max_element(StepsPerFrame.begin(), StepsPerFrame.end()), MaxCatchUpSteps);
    // 4 simulated seconds at 30 a second, less the 2-second stall beyond the catch-up.
    EXPECT_NEAR(static_cast<int>(StepTimes.size()), 4 * 30 + 1 - (60 - MaxCatchUpSteps), 2);
}

TEST_F(EngineLoop, QuitEndsTheLoopAfterTheCurrentStep) {
    RunStoppingInStepThree([] { Current->Engine->Quit(); });
    EXPECT_EQ(StepTimes.size(), 3u);
    EXPECT_EQ(FrameCount, 1) << "no frame after the step that quit";

    Engine->Quit();
    Engine->Run(30);
    EXPECT_EQ(StepTimes.size(), 3u) << "a Quit before Run ends it at once";
    Engine->Run(0);
    EXPECT_TRUE(LogHas("Error: Run at 0 steps a second"));
}

TEST_F(EngineLoop, ATerminationSignalEndsTheLoopAfterTheCurrentStepOfABatch) {
    RunStoppingInStepThree([] { std::raise(SIGTERM); });
    EXPECT_EQ(StepTimes.size(), 3u);
    EXPECT_EQ(FrameCount, 1) << "no frame after the step that was signalled";
}

TEST_F(EngineLoop, ClosingTheWindowEndsTheLoop) {
    Engine->SetProc(ProcUpdate, [] {
        CountStep();
        SDL_Event close{};
        close.type = SDL_QUIT;
        if (StepTimes.size() == 2) SDL_PushEvent(&close);
    });
    Engine->Run(30);
    EXPECT_GE(StepTimes.size(), 2u);
    EXPECT_LE(StepTimes.size(), 3u) << "the loop ends at the next look at the window's events";
}

void PushKey(SDL_Scancode scancode, bool down, uint16_t mod = KMOD_NONE, bool repeat = false) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat;
    event.key.keysym.scancode = scancode;
    event.key.keysym.mod = mod;
    SDL_PushEvent(&event);
}

std::vector<int> StepKeys;
std::vector<bool> UpHeld;

TEST_F(EngineLoop, ReportsEachPressInExactlyOneStep) {
    StepKeys.clear();
    UpHeld.clear();
    Engine->SetProc(ProcUpdate, [] {
        int key = Current->Input->LastKey();
        EXPECT_EQ(Current->Input->LastKey(), key) << "calls within a step agree";
        StepKeys.push_back(key);
        UpHeld.push_back(Current->Input->KeyDown(38));
        switch (StepKeys.size()) {
        case 2:
            PushKey(SDL_SCANCODE_UP, true);
            break;
        case 6:
            PushKey(SDL_SCANCODE_UP, true, KMOD_NONE, true);
            break;
        case 10:
            PushKey(SDL_SCANCODE_UP, false);
            PushKey(SDL_SCANCODE_ESCAPE, true); // two presses before the next step
            PushKey(SDL_SCANCODE_RETURN, true);
            break;
        case 14:
            PushKey(SDL_SCANCODE_RETURN, true, KMOD_LALT);
            break;
        case 20:
            Current->Engine->Quit();
            break;
        }
    });
    Engine->Run(30);
    std::vector<int> pressed;
    for (int key : StepKeys)
        if (key) pressed.push_back(key);
    EXPECT_EQ(pressed, (std::vector<int>{38, 38, 27, 13})) << "Alt+Enter is no key press";
    size_t escape = std::find(StepKeys.begin(), StepKeys.end(), 27) - StepKeys.begin();
    ASSERT_LT(escape + 1, StepKeys.size());
    EXPECT_EQ(StepKeys[escape + 1], 13) << "the second press comes in the next step";
    EXPECT_FALSE(UpHeld[1]);
    EXPECT_TRUE(UpHeld[5]);
    EXPECT_FALSE(UpHeld.back());
    EXPECT_TRUE(LogHas("Mode: full screen 1024x768, frame 64x48")) << "Alt+Enter switched";
}

int PadIndex = -1;

// A pad plugged in while the game runs, through SDL's own device and button events: its south
// button holds Up, and unplugging it while held lets Up go.
TEST_F(EngineLoop, APadPluggedInWhilePlayingHoldsUpUntilUnplugged) {
    UpHeld.clear();
    PadIndex = -1;
    // SDL drops pad events while the window lacks focus, as an offscreen window always does.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    Engine->SetProc(ProcUpdate, [] {
        UpHeld.push_back(Current->Input->KeyDown(38));
        switch (UpHeld.size()) {
        case 2:
            PadIndex = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6,
                                                 SDL_CONTROLLER_BUTTON_MAX, 0);
            break;
        case 4: {
            SDL_Joystick* pad = SDL_JoystickOpen(PadIndex);
            SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
            SDL_JoystickClose(pad); // the engine keeps its own handle
            break;
        }
        case 7:
            SDL_JoystickDetachVirtual(PadIndex);
            break;
        case 10:
            Current->Engine->Quit();
            break;
        }
    });
    Engine->Run(30);
    SDL_ResetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS);
    ASSERT_GE(PadIndex, 0) << SDL_GetError();
    EXPECT_TRUE(LogHas("Game controller: Virtual Controller"));
    // Each change shows in the step after the one that made it.
    EXPECT_EQ(UpHeld, (std::vector<bool>{false, false, false, false, true, true, true, false, false,
                                         false}));
}

// ---- Drawing ----

using EngineDrawing = EngineTest;

// The frame's pixel at (x, y) counted from the top, as the program sees its 2D space.
std::vector<uint8_t> FramePixel(int x, int y) {
    return ReadPixelsRGBA(x, 599 - y, 1, 1);
}

// The whole 800 x 600 frame, read once, for tests that look at many pixels.
struct FrameCopy {
    std::vector<uint8_t> Pixels = ReadPixelsRGBA(0, 0, 800, 600);
    const uint8_t* At(int x, int y) const {
        return &Pixels[(static_cast<size_t>(599 - y) * 800 + x) * 4];
    }
};

const std::vector<uint8_t> Red{255, 0, 0, 255};
const std::vector<uint8_t> Black{0, 0, 0, 255};

TEST_F(EngineDrawing, ShowsTheFrameScaledAndLetterboxedOnTheScreen) {
    // The offscreen desktop is 1024 x 768: a 2:1 frame gets bars above and below.
    ASSERT_TRUE(Window->SetMode(true, 800, 400, 32, 75));
    Engine->SetProc(ProcRender, [] {
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST); // left on by the program: the bars are still cleared
        glScissor(0, 0, 1, 1);
        Current->Engine->Quit();
    });
    Engine->Run(30);
    glDisable(GL_SCISSOR_TEST);
    auto bind =
        reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(SDL_GL_GetProcAddress("glBindFramebuffer"));
    bind(GL_FRAMEBUFFER, 0);
    EXPECT_EQ(ReadPixelsRGBA(512, 120, 1, 1), Black) << "lower bar";
    EXPECT_EQ(ReadPixelsRGBA(512, 136, 1, 1), Red);
    EXPECT_EQ(ReadPixelsRGBA(512, 632, 1, 1), Red);
    EXPECT_EQ(ReadPixelsRGBA(512, 648, 1, 1), Black) << "upper bar";
    EXPECT_TRUE(LogHas("First frame shown at 0,128 size 1024x512"));
}

TEST_F(EngineDrawing, Set2DPutsTheOriginAtTheTopLeftWithYDownwards) {
    OpenWindow();
    Render->Set2D(0, 0, 800, 600);
    glColor3f(1, 0, 0);
    glRectf(0, 0, 10, 20);
    EXPECT_EQ(FramePixel(5, 15), Red);
    EXPECT_EQ(FramePixel(5, 25), (std::vector<uint8_t>{0, 0, 0, 0}));
    Render->Set2D(0, 0, 0, 600); // an empty rectangle leaves the projection alone
    glRectf(100, 100, 110, 110);
    EXPECT_EQ(FramePixel(105, 105), Red);
}

// Coverage of a line of text as the engine lays it out, rendered straight from FreeType: pen
// from the left, baseline one rounded-up ascender below the top, overlaps blended like alpha.
std::vector<float> ExpectedCoverage(const std::u32string& line, int size, int width, int height) {
    std::vector<float> coverage(static_cast<size_t>(width) * height, 0.0f);
    FontFile file = FindFontFile("Arial");
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    FT_Init_FreeType(&library);
    FT_New_Face(library, file.Path.c_str(), file.Index, &face);
    FT_Set_Pixel_Sizes(face, 0, size);
    const int baseline = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    int pen = 0;
    for (char32_t c : line) {
        FT_Load_Char(face, c, FT_LOAD_RENDER);
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        for (unsigned row = 0; row < bitmap.rows; ++row)
            for (unsigned column = 0; column < bitmap.width; ++column) {
                int x = pen + face->glyph->bitmap_left + static_cast<int>(column);
                int y = baseline - face->glyph->bitmap_top + static_cast<int>(row);
                if (x < 0 || y < 0 || x >= width || y >= height) continue;
                float a = bitmap.buffer[row * bitmap.pitch + column] / 255.0f;
                float& cell = coverage[static_cast<size_t>(y) * width + x];
                cell = a + cell * (1 - a);
            }
        pen += static_cast<int>(face->glyph->advance.x >> 6);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return coverage;
}

TEST_F(EngineDrawing, CyrillicTextDrawsTheSamePixelsAsItsUnicodeGlyphs) {
    OpenWindow();
    int32_t font = Render->CreateFont("Arial", 12);
    ASSERT_GT(font, 0);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 1, 1);
    Render->PrintText(font, "\xCD\xEE\xE2\xE0\xFF \xE8\xE3\xF0\xE0", 40, 30);
    const int width = 120, height = 20;
    std::vector<float> expected = ExpectedCoverage(U"Новая игра", 12, width, height);
    FrameCopy frame;
    int lit = 0, worst = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int drawn = frame.At(40 + x, 30 + y)[0];
            int wanted =
                static_cast<int>(std::lround(expected[static_cast<size_t>(y) * width + x] * 255));
            worst = std::max(worst, std::abs(drawn - wanted));
            lit += drawn > 0;
        }
    EXPECT_LE(worst, 2);
    EXPECT_GT(lit, 100);
    EXPECT_TRUE(LogHas("Font \"Arial\" 12: Liberation Sans Regular"));
}

TEST_F(EngineDrawing, TextHangsFromItsPointInTheCurrentColourAndBadFontsDrawNothing) {
    OpenWindow();
    Render->Set2D(0, 0, 400, 300); // the text keeps to pixels whatever the projection
    glColor3f(0, 1, 0);
    Render->PrintText(0, "HIH", 100, 50);
    FrameCopy frame;
    int top = 600, left = 800, stray = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 200; ++x) {
            const uint8_t* pixel = frame.At(x, y);
            if (pixel[1] > 0) top = std::min(top, y), left = std::min(left, x);
            stray += pixel[0] + pixel[2];
        }
    EXPECT_GE(top, 50);
    EXPECT_LE(top, 56);
    EXPECT_GE(left, 100);
    EXPECT_LE(left, 103);
    EXPECT_EQ(stray, 0);
    glColor3f(0, 0, 1);
    glRectf(390, 290, 400, 300); // the program's projection is back
    EXPECT_EQ(FramePixel(795, 595), (std::vector<uint8_t>{0, 0, 255, 255}));

    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(Render->CreateFont("Arial", 0), 0);
    EXPECT_EQ(Render->CreateFont("Arial", 100000), 0);
    Render->PrintText(-1, "HIH", 100, 50);
    Render->PrintText(99, "HIH", 100, 50);
    Render->PrintText(0, nullptr, 100, 50);
    Render->PrintText(0, "HIH", NAN, 1e30f);
    std::vector<uint8_t> cleared = ReadPixelsRGBA(0, 0, 800, 600);
    EXPECT_TRUE(std::all_of(cleared.begin(), cleared.end(), [](uint8_t v) { return v == 0; }));
}

TEST_F(EngineDrawing, TexturesKeepTheirPixelsAndSettingsAndRefuseBadArguments) {
    EXPECT_EQ(Textures->CreateTexture("early", 4, GL_RGBA, 1, 1, "abcd", 0, 1, 0), 0);
    OpenWindow();
    const uint8_t pixels[2 * 2 * 4] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    int32_t id = Textures->CreateTexture("tile", 4, GL_RGBA, 2, 2, pixels, 0, 1, 0);
    ASSERT_GT(id, 0);
    Textures->EnableTexture(id, 0);
    GLint bound = 0, wrap = 0, filter = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, id);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    std::vector<uint8_t> read(sizeof(pixels));
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, read.data());
    EXPECT_EQ(read, std::vector<uint8_t>(pixels, pixels + sizeof(pixels)));
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(wrap, GL_REPEAT);
    EXPECT_EQ(filter, GL_LINEAR);
    Textures->DisableTexture(0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    Textures->EnableTexture(id, 4096);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    int32_t clamped = Textures->CreateTexture("sharp", 3, GL_RGB, 1, 1, pixels, 1, 0, 0);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(clamped));
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
    EXPECT_EQ(filter, GL_NEAREST);

    EXPECT_EQ(Textures->CreateTexture("none", 4, GL_RGBA, 2, 2, nullptr, 0, 1, 0), 0);
    EXPECT_EQ(Textures->CreateTexture("short", 3, GL_RGBA, 2, 2, pixels, 0, 1, 0), 0);
    EXPECT_EQ(Textures->CreateTexture("empty", 4, GL_RGBA, 0, 2, pixels, 0, 1, 0), 0);
    EXPECT_EQ(Textures->CreateTexture("huge", 4, GL_RGBA, 1 << 20, 1, pixels, 0, 1, 0), 0);
    EXPECT_EQ(Textures->CreateTexture("odd", 4, 0x1234, 1, 1, pixels, 0, 1, 0), 0);
    EXPECT_TRUE(LogHas("Error: texture \"short\" has bad arguments"));
}

TEST_F(EngineDrawing, ModesAndCaptionsTakeWhatTheProgramGives) {
    Window->SetCaption("\xCA\xE0\xEF", true);
    EXPECT_FALSE(Window->SetMode(false, 0, 600, 32, 75));
    EXPECT_FALSE(Window->SetMode(false, 800, 100000, 32, 75));
    ASSERT_TRUE(Window->SetMode(true, 800, 600, 32, 75));
    EXPECT_STREQ(SDL_GetWindowTitle(SDL_GL_GetCurrentWindow()), "Кап");
    Window->SetCaption("Cap\xC3\xA9", false);
    EXPECT_STREQ(SDL_GetWindowTitle(SDL_GL_GetCurrentWindow()), "Capé");
    ASSERT_TRUE(Window->SetMode(false, 320, 200, 16, 0));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 200);
    EXPECT_TRUE(LogHas("Mode: full screen 1024x768, frame 800x600"));
    EXPECT_TRUE(LogHas("Mode: window 320x200, frame 320x200"));
}

} // namespace
