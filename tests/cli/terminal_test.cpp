// sorvex run -i: the panel in a real terminal (a detached tmux session of
// 80 by 24), worked with keys as a user would.
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

#include "modeler/lwo.h"
#include "tests/cli/cli_support.h"
#include "tests/support/fixtures.h"
#include "tests/support/paths.h"

namespace {

typedef std::map<uint32_t, std::vector<float>> Values;

// Every wait is bounded: a screen or a file that does not come fails the test.
const auto kPatience = std::chrono::seconds(5);
const auto kPoll = std::chrono::milliseconds(20);

std::string shellWord(const std::string &word) {
    std::string text = "'";
    for (char c : word)
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

bool haveTmux() {
    return runShell("command -v tmux").status == 0;
}

bool waitUntil(const std::function<bool()> &done) {
    auto end = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(kPoll);
    }
    return true;
}

// A folder with figure.lwo, a settings folder, and a tmux server of its own
// that runs one shell command line in a pane; the server ends with it.
class Terminal {
    TempDir dir;

  public:
    std::string object = dir.file("figure.lwo");
    std::string settings = dir.file("settings");

    Terminal() { writeFile(object, figureFile()); }
    ~Terminal() { tmux("kill-server"); }

    // Starts `sorvex run figure.lwo -i` with the arguments; its exit status
    // goes to a file, and the pane stays to show what it printed.
    void start(const std::string &arguments = "", const std::string &environment = "") {
        std::string program = shellWord(std::string(kBinaryDir) + "/sorvex") +
                              " run figure.lwo -i --settings-dir " + shellWord(settings) + " " + arguments;
        std::string line = "cd " + shellWord(dir.path()) + " && " + environment + " " + program +
                           " 2>err; echo $? >status.part; mv status.part status; exec sleep 60";
        tmux("new-session -d -s sorvex -x 80 -y 24 " + shellWord(line));
    }

    std::string screen() const { return tmux("capture-pane -p -t sorvex").out; }

    // Waits until the screen shows every one of texts (a screen may be
    // caught half drawn); answers the screen.
    std::string waitFor(const std::vector<std::string> &texts) const {
        std::string shown, missing;
        waitUntil([&] {
            shown = screen();
            missing.clear();
            for (const std::string &text : texts)
                if (shown.find(text) == std::string::npos) missing += " \"" + text + "\"";
            return missing.empty();
        });
        EXPECT_EQ(missing, "") << "never shown; the screen:\n" << shown << errors();
        return shown;
    }

    std::string waitFor(const std::string &text) const { return waitFor(std::vector<std::string>{text}); }

    // Keys by tmux's names (Tab, BTab, Space, Enter, Escape, F10, C-o, ...).
    void keys(const std::string &names, int times = 1) const {
        for (int i = 0; i < times; ++i)
            tmux("send-keys -t sorvex " + names);
    }

    void type(const std::string &utf8) const { tmux("send-keys -t sorvex -l " + shellWord(utf8)); }

    // The program's exit status; -1 when it did not end in time.
    int status() const {
        bool ended = waitUntil([&] { return fileExists(dir.file("status")); });
        return ended ? std::stoi(readFile(dir.file("status"))) : -1;
    }

    std::string errors() const { return readFile(dir.file("err")); }

  private:
    ProgramRun tmux(const std::string &command) const {
        return runShell("LC_ALL=C.UTF-8 tmux -S " + shellWord(dir.file("tmux.sock")) + " -f /dev/null " +
                        command);
    }
};

Values valuesOf(const std::string &path, LWID type, const std::string &name) {
    Object object;
    LwoError error;
    EXPECT_TRUE(readLwo(path, object, error)) << lwoErrorText(error);
    const VertexMap *map = object.layers.empty() ? nullptr : findMap(object.layers[0], type, name);
    return map ? mapValues(*map) : Values{};
}

const Values kLeftArm = {{0, {0.1f}}, {1, {0.2f}}, {2, {0.3f}}, {3, {0.4f}}, {4, {0.5f}}};

TEST(SorvexInteractive, ShowsThePanelAndSavesAfterAPairIsSwitchedOff) {
    if (!haveTmux()) GTEST_SKIP() << "tmux is not installed";
    Terminal t;
    t.start();
    t.waitFor({"+- Sorvex -", "頂点マップタイプ [ウェイト", "プリセット [ ( new )",
               "コピー方向(X軸) (*)－ ← ＋ ( )－ → ＋", "置換位置 (*)接頭辞 ( )接尾辞", "元マップ [Left ",
               "対象マップ [Right ", "[ 更新 ]", "置き換え一覧", "source", "dist", "| v   LeftArm",
               "RightArm", "| v   LeftLeg", "RightLeg", "[ OK ]  [ Cancel ]", "F10/Ctrl-O: OK  Esc: cancel"});

    // The focus goes kind, preset, direction, position, source, target,
    // update, list: Space clicks the check column of the first row.
    t.keys("Tab", 7);
    t.keys("Space");
    t.waitFor("|     LeftArm");
    t.keys("F10");
    ASSERT_EQ(t.status(), 0) << t.errors();
    EXPECT_EQ(valuesOf(t.object, LWVMAP_WGHT, "LeftArm"), kLeftArm);
    EXPECT_EQ(valuesOf(t.object, LWVMAP_WGHT, "RightArm"), Values{});
    EXPECT_EQ(valuesOf(t.object, LWVMAP_WGHT, "LeftLeg"), (Values{{3, {0.7f}}}));
    EXPECT_EQ(valuesOf(t.object, LWVMAP_WGHT, "RightLeg"), (Values{{1, {0.6f}}}));
    EXPECT_EQ(readFile(t.settings + "/sorvex.cfg.txt"), "Left\nRight\n-1\n0\n");
    // Back from the panel, the report goes to the terminal.
    t.waitFor("off LeftArm -> RightArm");
}

TEST(SorvexInteractive, EscapeCancelsAndChangesNothing) {
    if (!haveTmux()) GTEST_SKIP() << "tmux is not installed";
    Terminal t;
    std::string before = readFile(t.object);
    t.start();
    t.waitFor("v   LeftLeg");
    t.keys("Tab", 7);
    t.keys("Space");
    t.waitFor("|     LeftArm");
    t.keys("Escape");
    ASSERT_EQ(t.status(), 0) << t.errors();
    EXPECT_EQ(readFile(t.object), before);
    EXPECT_FALSE(fileExists(t.settings + "/sorvex.cfg.txt"));
    t.waitFor("cancelled: nothing changed");
}

TEST(SorvexInteractive, TypedTokenAndANewPresetInTheDialogAreSaved) {
    if (!haveTmux()) GTEST_SKIP() << "tmux is not installed";
    Terminal t;
    t.start();
    t.waitFor("v   LeftLeg");
    // The target edit: clear it, type, then the update button.
    t.keys("Tab", 5);
    t.keys("BSpace", 5);
    t.type("R_");
    t.keys("Tab");
    t.keys("Enter");
    t.waitFor("R_Arm");
    // Back to the preset popup; its only entry " ( new ) " opens the dialog.
    t.keys("BTab", 5);
    t.keys("Enter");
    t.waitFor("|  ( new )");
    t.keys("Enter");
    t.waitFor("+- プリセット作成 -");
    t.type("みぎ");
    t.waitFor("プリセット名 [みぎ");
    t.keys("F10");
    t.waitFor("プリセット [みぎ");
    t.keys("C-o");
    ASSERT_EQ(t.status(), 0) << t.errors();
    // みぎ in CP932.
    EXPECT_EQ(readFile(t.settings + "/sorvex.cfg.txt"),
              "Left\nR_\n-1\n0\n\x82\xDD\x82\xAC\nLeft\nR_\n0\n0\n");
    EXPECT_EQ(valuesOf(t.object, LWVMAP_WGHT, "R_Arm"), (Values{{0, {0.1f}}, {1, {0.2f}}, {2, {0.3f}}}));
}

TEST(SorvexInteractive, RefusesWithoutATerminalInsteadOfWaiting) {
    const std::string message =
        "sorvex run: the panel needs a terminal, and standard input or output is not one\n";
    TempDir dir;
    std::string object = dir.file("figure.lwo");
    writeFile(object, figureFile());
    std::string before = readFile(object);

    ProgramRun run = runProgram({"run", object, "-i", "--settings-dir", dir.file("settings")}, dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, message);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(readFile(object), before);

    if (!haveTmux()) GTEST_SKIP() << "tmux is not installed";
    struct Case {
        const char *what;
        std::string arguments;
        std::string environment;
        std::string error;
    } cases[] = {
        {"standard output is a file", ">out", "", message},
        {"a terminal that cannot place the cursor", "", "TERM=dumb",
         "sorvex run: the terminal type \"dumb\" cannot place the cursor\n"},
        {"no terminal type", "", "TERM=", "sorvex run: the panel needs a terminal, and TERM is not set\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Terminal t;
        std::string unchanged = readFile(t.object);
        t.start(c.arguments, c.environment);
        EXPECT_EQ(t.status(), 1);
        EXPECT_EQ(t.errors(), c.error);
        EXPECT_EQ(readFile(t.object), unchanged);
    }
}

} // namespace
