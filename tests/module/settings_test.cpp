// The settings file, read and written through the modeler's "Directory Info"
// service, and its pure reader and writer.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "module/run_state.h"
#include "settings/settings.h"
#include "tests/support/fixtures.h"

using namespace std::string_literals;

namespace {

// Settings and presets as one list of texts: readable when a test fails.
typedef std::vector<std::string> Flat;

Flat flatten(const RunState &state) {
    Flat flat = {state.sourceToken, state.targetToken, std::to_string(state.direction),
                 std::to_string(state.tokenPosition)};
    for (const Preset &preset : state.presets) {
        flat.insert(flat.end(), {preset.name, preset.sourceToken, preset.targetToken,
                                 std::to_string(preset.direction), std::to_string(preset.tokenPosition)});
    }
    return flat;
}

const Flat kDefaults = {"Left", "Right", "-1", "0"};

Flat parsed(std::string_view bytes) {
    RunState state;
    parseSettings(bytes, state);
    return flatten(state);
}

RunState makeState(const std::string &source, const std::string &target, int direction, int position,
                   std::vector<Preset> presets = {}) {
    RunState state;
    state.sourceToken = source;
    state.targetToken = target;
    state.direction = direction;
    state.tokenPosition = position;
    state.presets = std::move(presets);
    return state;
}

// A settings directory the modeler's "Directory Info" answers while the
// test runs.
class SettingsFile : public ::testing::Test {
  protected:
    SettingsFile() : active(host) { host.settingsDirectory = dir.path(); }

    std::string path() const { return dir.file("sorvex.cfg.txt"); }

    RunState load() {
        RunState state;
        state.global = hostGlobal;
        loadSettings(state);
        return state;
    }

    void save(RunState state) {
        state.global = hostGlobal;
        saveSettings(state);
    }

    std::set<std::string> entries() const {
        std::set<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(dir.path()))
            names.insert(entry.path().filename().string());
        return names;
    }

    TempDir dir;
    Host host;
    ActiveHost active;
};

struct ReadCase {
    const char *what;
    bool hasFile;
    std::string bytes;
    Flat expected;
};

TEST_F(SettingsFile, ReadsEveryKindOfFile) {
    const std::string longWord(10000, 'a');
    const std::string cut(kMaxSettingsValue, 'a');
    const ReadCase cases[] = {
        {"no file", false, "", kDefaults},
        {"empty file", true, "", kDefaults},
        {"whitespace only", true, " \t\r\n\v\f\n\n", kDefaults},
        {"CR LF endings",
         true,
         "Up\r\nDown\r\n1\r\n1\r\nP\r\nA\r\nB\r\n1\r\n0\r\n",
         {"Up", "Down", "1", "1", "P", "A", "B", "1", "0"}},
        {"the four settings lines only", true, "L_\nR_\n1\n1\n", {"L_", "R_", "1", "1"}},
        {"presets in file order, duplicates kept",
         true,
         "Left\nRight\n-1\n0\nSet1\nLeft\nRight\n0\n0\nSet2\nl_\nr_\n1\n1\nSet1\nX\nY\n1\n0\n",
         {"Left", "Right", "-1", "0", "Set1", "Left", "Right", "0", "0", "Set2", "l_", "r_", "1", "1", "Set1",
          "X", "Y", "1", "0"}},
        {"any whitespace between values",
         true,
         "  A \t B\f1\v0   P C D 1 1",
         {"A", "B", "1", "0", "P", "C", "D", "1", "1"}},
        {"cut after the source token", true, "OnlyOne\n", {"OnlyOne", "Right", "-1", "0"}},
        {"cut after the target token", true, "A\nB", {"A", "B", "-1", "0"}},
        {"cut after the direction", true, "A\nB\n1\n", {"A", "B", "1", "0"}},
        {"cut after a preset's name", true, "A\nB\n1\n1\nP\n", {"A", "B", "1", "1"}},
        {"cut before a preset's last number",
         true,
         "A\nB\n1\n1\nP1\nC\nD\n0\n1\nP2\nE\nF\n1\n",
         {"A", "B", "1", "1", "P1", "C", "D", "0", "1"}},
        {"a word as the direction", true, "A\nB\nleft\n1\n", {"A", "B", "-1", "1"}},
        {"a word as the position", true, "A\nB\n1\nprefix\n", {"A", "B", "1", "0"}},
        {"words as a preset's numbers",
         true,
         "A\nB\n1\n1\nP\nC\nD\nx\ny\nQ\nE\nF\n1\n1\n",
         {"A", "B", "1", "1", "P", "C", "D", "0", "0", "Q", "E", "F", "1", "1"}},
        {"a 10,000-byte source token", true, longWord + "\nB\n1\n1\n", {cut, "B", "1", "1"}},
        {"a 10,000-byte preset name",
         true,
         "A\nB\n1\n0\n" + longWord + "\nC\nD\n1\n1\n",
         {"A", "B", "1", "0", cut, "C", "D", "1", "1"}},
        {"a NUL byte inside a token", true, "Le\0ft\nRight\n1\n0\n"s, {"Le", "Right", "1", "0"}},
        {"a NUL byte inside a number", true, "A\nB\n1\0x\n1\n"s, {"A", "B", "1", "1"}},
        {"a NUL byte as a preset name",
         true,
         "A\nB\n1\n0\n\0\nC\nD\n1\n1\n"s,
         {"A", "B", "1", "0", "", "C", "D", "1", "1"}},
        {"directions other than -1 and 1 kept",
         true,
         "A\nB\n7\n-3\nP\nC\nD\n-5\n9\n",
         {"A", "B", "7", "-3", "P", "C", "D", "-5", "9"}},
        {"quoted values",
         true,
         "\"\"\n\"two words\"\n1\n1\n\"a \\\"b\\\" \\\\c\"\n\"\\\"\"\nx\n0\n0\n",
         {"", "two words", "1", "1", "a \"b\" \\c", "\"", "x", "0", "0"}},
        {"a quote inside a plain word", true, "a\"b\nC:\\x\n1\n1\n", {"a\"b", "C:\\x", "1", "1"}},
        {"an unclosed quote runs to the end", true, "A\n\"B\n1\n1\n", {"A", "B\n1\n1\n", "-1", "0"}},
        {"a long quoted value is cut and skipped to its quote",
         true,
         "\"" + longWord + " b\"\nB\n1\n1\n",
         {cut, "B", "1", "1"}},
        {"CP932 names",
         true,
         "\x89\x45\x98\x72\n\x83\x5C\x95\x5C\n1\n0\n\"\x8D\xB6\x20\x91\xAB\"\nL\nR\n0\n1\n",
         {"\x89\x45\x98\x72", "\x83\x5C\x95\x5C", "1", "0", "\x8D\xB6\x20\x91\xAB", "L", "R", "0", "1"}},
    };
    for (const ReadCase &c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(path());
        if (c.hasFile) writeFile(path(), c.bytes);
        EXPECT_EQ(flatten(load()), c.expected);
        EXPECT_EQ(parsed(c.bytes), c.expected);
    }
    EXPECT_TRUE(host.messages.empty());
}

TEST(ParseSettings, ReadsNumbersAsWholeWordsInRange) {
    const std::pair<const char *, int> cases[] = {
        {"1", 1},
        {"+5", 5},
        {"-0", 0},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"\"7\"", 7},
        {"2147483648", -1},
        {"-2147483649", -1},
        {"12abc", -1},
        {"+-5", -1},
        {"-", -1},
        {"+", -1},
        {"0x10", -1},
        {"1e3", -1},
        {"1.5", -1},
    };
    for (const auto &[word, direction] : cases) {
        SCOPED_TRACE(word);
        EXPECT_EQ(parsed("A B "s + word + " 1"), (Flat{"A", "B", std::to_string(direction), "1"}));
    }
}

// Every value the panel can produce: empty, with whitespace, quotes and
// backslashes, 259 bytes, CP932 double-byte names (0x5C as a trail byte).
const std::vector<std::string> &panelValues() {
    static const std::vector<std::string> values = {
        "",
        " ",
        "two words",
        "tab\there",
        "line\nbreak",
        "cr\r\nlf",
        "\"",
        "\"quoted\"",
        "in\"side",
        "back\\slash",
        "\\",
        "\\\"",
        "end\\",
        "\"\\",
        std::string(kMaxSettingsValue, 'x'),
        std::string(kMaxSettingsValue, '\\'),
        std::string(kMaxSettingsValue, '"'),
        std::string(kMaxSettingsValue - 1, ' ') + "y",
        "\x89\x45\x98\x72",
        "\x83\x5C\x95\x5C",
        "\x8D\xB6\x20\x91\xAB",
        "\x83\x76\x83\x8A\x83\x5A\x83\x62\x83\x67\x82\x50",
    };
    return values;
}

TEST_F(SettingsFile, EveryPanelValueComesBackAsSaved) {
    for (const std::string &value : panelValues()) {
        SCOPED_TRACE(testing::PrintToString(value));
        // The plain preset after the value shows that nothing after it shifted.
        RunState state =
            makeState(value, value, 1, 1, {{1, 1, value, value, value}, {0, 0, "L", "R", "After"}});
        save(state);
        EXPECT_EQ(flatten(load()), flatten(state));
        EXPECT_EQ(parsed(formatSettings(state)), flatten(state));
    }
}

TEST_F(SettingsFile, EveryFieldKeepsItsOwnValue) {
    const std::vector<std::string> &values = panelValues();
    RunState state = makeState(values[0], values[1], -1, 0);
    for (size_t i = 2; i + 2 < values.size(); i += 3)
        state.presets.push_back({int32_t(i % 2), int32_t(i % 3), values[i], values[i + 1], values[i + 2]});
    save(state);
    EXPECT_EQ(flatten(load()), flatten(state));
    EXPECT_EQ(entries(), (std::set<std::string>{"sorvex.cfg.txt"}));
}

TEST_F(SettingsFile, WritesTheExampleFileByteForByte) {
    save(makeState("Left", "Right", -1, 0, {{0, 0, "Left", "Right", "Set1"}}));
    const std::string example = "Left\nRight\n-1\n0\nSet1\nLeft\nRight\n0\n0\n";
    EXPECT_EQ(readFile(path()), example);
    EXPECT_EQ(flatten(load()), (Flat{"Left", "Right", "-1", "0", "Set1", "Left", "Right", "0", "0"}));
}

TEST(FormatSettings, QuotesOnlyWhatAPlainWordCannotHold) {
    const std::pair<RunState, std::string> cases[] = {
        {makeState("a\"b", "C:\\x", 1, 1), "a\"b\nC:\\x\n1\n1\n"},
        {makeState("\x83\x5C\x95\x5C", "\x89\x45\x98\x72", -1, 0),
         "\x83\x5C\x95\x5C\n\x89\x45\x98\x72\n-1\n0\n"},
        {makeState("", "a b", 7, -2), "\"\"\n\"a b\"\n7\n-2\n"},
        {makeState("\"x", "\\ \"", 1, 0), "\"\\\"x\"\n\"\\\\ \\\"\"\n1\n0\n"},
        {makeState("L", "R", -1, 0, {{1, 1, "", "s t", "N"}}), "L\nR\n-1\n0\nN\n\"\"\n\"s t\"\n1\n1\n"},
    };
    for (const auto &[state, bytes] : cases)
        EXPECT_EQ(formatSettings(state), bytes);
}

TEST_F(SettingsFile, ReplacesTheWholeOldFile) {
    writeFile(path(), "Old\nOld\n1\n1\n" + std::string(5000, 'z') + "\nA\nB\n0\n0\n");
    save(makeState("L", "R", -1, 0));
    EXPECT_EQ(readFile(path()), "L\nR\n-1\n0\n");
    EXPECT_EQ(entries(), (std::set<std::string>{"sorvex.cfg.txt"}));
}

TEST_F(SettingsFile, NoServiceOrNoDirectoryReadsDefaultsAndWritesNothing) {
    const std::string old = "Mine\nYours\n1\n1\nP\nA\nB\n1\n1\n";
    const std::string missing = dir.file("missing");
    const struct {
        const char *what;
        bool withholdService;
        std::string directory;
    } cases[] = {
        {"no \"Directory Info\"", true, dir.path()},
        {"a directory that does not exist", false, missing},
        {"an empty directory", false, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(path(), old);
        host.withheld.clear();
        if (c.withholdService) host.withheld.insert("Directory Info");
        host.settingsDirectory = c.directory;
        EXPECT_EQ(flatten(load()), kDefaults);
        save(makeState("New", "New", -1, 0, {{0, 0, "a", "b", "c"}}));
        EXPECT_EQ(readFile(path()), old);
        EXPECT_EQ(entries(), (std::set<std::string>{"sorvex.cfg.txt"}));
        EXPECT_FALSE(fileExists(missing));
    }
    EXPECT_TRUE(host.messages.empty());
}

TEST(SettingsPath, JoinsTheDirectoryAndTheFileName) {
    EXPECT_EQ(settingsPath("/home/u/.config/sorvex"), "/home/u/.config/sorvex/sorvex.cfg.txt");
    const std::string deep(1000, 'd');
    EXPECT_EQ(settingsPath(deep.c_str()), deep + "/sorvex.cfg.txt");
    EXPECT_EQ(settingsPath(""), "");
    EXPECT_EQ(settingsPath(nullptr), "");
}

TEST_F(SettingsFile, AFileThatIsADirectoryReadsDefaultsAndStays) {
    std::filesystem::create_directory(path());
    EXPECT_EQ(flatten(load()), kDefaults);
    save(makeState("New", "New", 1, 1));
    EXPECT_TRUE(std::filesystem::is_directory(path()));
    EXPECT_EQ(entries(), (std::set<std::string>{"sorvex.cfg.txt"}));
}

TEST_F(SettingsFile, KeepsTheOldFileWhenTheNewOneCannotBeCreated) {
    const std::string old = "Mine\nYours\n1\n1\n";
    writeFile(path(), old);
    std::filesystem::create_directory(path() + ".tmp");
    save(makeState("New", "New", -1, 0));
    EXPECT_EQ(readFile(path()), old);
    EXPECT_TRUE(std::filesystem::is_directory(path() + ".tmp"));
}

// Limits the size of files this process writes (root included), so a write
// fails part-way as on a full disk.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        if (getrlimit(RLIMIT_FSIZE, &saved) != 0) return;
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved;
        limited.rlim_cur = bytes;
        engaged = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() {
        if (!engaged) return;
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool isEngaged() const { return engaged; }

  private:
    rlimit saved = {};
    void (*previousHandler)(int) = SIG_DFL;
    bool engaged = false;
};

TEST_F(SettingsFile, KeepsTheOldFileWhenWritingFailsPartWay) {
    const std::string old = "Mine\nYours\n1\n1\n";
    writeFile(path(), old);
    RunState state = makeState("New", "New", -1, 0);
    for (int i = 0; i < 100; ++i)
        state.presets.push_back({0, 0, "Left", "Right", "Preset" + std::to_string(i)});
    {
        FileSizeLimit limit(64);
        ASSERT_TRUE(limit.isEngaged());
        save(state);
    }
    EXPECT_EQ(readFile(path()), old);
    EXPECT_EQ(entries(), (std::set<std::string>{"sorvex.cfg.txt"}));
    // Without the limit the same state saves: the limit was the only fault.
    save(state);
    EXPECT_EQ(readFile(path()), formatSettings(state));
}

// Every prefix of a file, from a buffer of exactly its size, reads without
// a fault and as a state that writes and reads back the same.
TEST(ParseSettings, EveryPrefixReadsAStableState) {
    RunState full = makeState("\x8D\xB6 x", "", 1, 1,
                              {{0, 1, "Left", "Right", "Set1"},
                               {1, 0, "a\"b", "\\", "\"q\""},
                               {1, 1, std::string(kMaxSettingsValue, 'x'), "L", "two words"}});
    const std::string bytes = formatSettings(full);
    size_t presetCount = 0;
    for (size_t size = 0; size <= bytes.size(); ++size) {
        SCOPED_TRACE(size);
        std::vector<char> prefix(bytes.begin(), bytes.begin() + size);
        RunState state;
        parseSettings(std::string_view(prefix.data(), prefix.size()), state);
        EXPECT_GE(state.presets.size(), presetCount);
        presetCount = state.presets.size();
        EXPECT_EQ(parsed(formatSettings(state)), flatten(state));
    }
    EXPECT_EQ(parsed(bytes), flatten(full));
}

} // namespace
