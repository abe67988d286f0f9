// Loading the module file the way the host does, and the command's first
// checks, through the real sorvex.p.
#include <gtest/gtest.h>

#include "modeler/loader.h"
#include "tests/support/fixtures.h"
#include "tests/support/paths.h"
#include "tests/support/tools.h"

namespace {

// An object with one weight map, so the command gets past its map check.
Object weightedObject() {
    Object object = lineObject({-1, 0, 1});
    paint(object.layers[0], LWVMAP_WGHT, "LeftArm", 0, {0.5f});
    return object;
}

struct RunResult {
    bool loaded;
    int result;
    std::string error;
};

RunResult run(Host &host, int version, const std::string &path = kModulePath) {
    RunResult run{false, -1, ""};
    run.loaded = runSorvex(path, host, version, run.result, run.error);
    return run;
}

TEST(ModuleFile, ExportsOnlyTheDescriptor) {
    std::string symbols = commandOutput(std::string("nm -D --defined-only ") + kModulePath);
    ASSERT_FALSE(symbols.empty());
    std::vector<std::string> names;
    size_t start = 0;
    while (start < symbols.size()) {
        size_t end = symbols.find('\n', start);
        std::string line = symbols.substr(start, end - start);
        start = end == std::string::npos ? symbols.size() : end + 1;
        size_t space = line.rfind(' ');
        if (!line.empty()) names.push_back(line.substr(space + 1));
    }
    EXPECT_EQ(names, std::vector<std::string>{"_mod_descrip"});
}

TEST(ModuleFile, DescriptorAndServerTableAsTheHostReadsThem) {
    LoadedModule module;
    std::string error;
    ASSERT_TRUE(loadModule(kModulePath, module, error)) << error;
    EXPECT_EQ(module.descriptor->synchronisation, 0x04121994u);
    EXPECT_EQ(module.descriptor->systemVersion, 3u);
    EXPECT_EQ(module.descriptor->machine, 0x300u);
    EXPECT_EQ(module.serverData, reinterpret_cast<void *>(4));
    const ServerRecord *servers = module.descriptor->servers;
    EXPECT_STREQ(servers[0].className, "CommandSequence");
    EXPECT_STREQ(servers[0].name, "Sorvex");
    EXPECT_NE(servers[0].activate, nullptr);
    EXPECT_EQ(servers[0].tagInfo, nullptr);
    EXPECT_EQ(servers[1].className, nullptr);
    EXPECT_EQ(servers[1].name, nullptr);
    EXPECT_EQ(servers[1].activate, nullptr);
    EXPECT_EQ(servers[1].tagInfo, nullptr);
    unloadModule(module);
}

TEST(Loader, EachFailureNamesTheFileAndItsCause) {
    TempDir dir;
    writeFile(dir.file("text.p"), "not a library\n");
    std::string bad = kBadModuleDir;
    struct Case {
        std::string path;
        std::string cause;
    } cases[] = {
        {dir.file("missing.p"), "no such file"},
        {dir.file("text.p"), "not a loadable library"},
        {bad + "/bad_no_descriptor.p", "no module descriptor _mod_descrip"},
        {bad + "/bad_wrong_sync.p", "wrong synchronisation code 0x12345678"},
        {bad + "/bad_wrong_version.p", "unsupported system version 2"},
        {bad + "/bad_no_server.p", "no CommandSequence server named Sorvex"},
    };
    for (const Case &c : cases) {
        Object object = weightedObject();
        Host host;
        host.object = &object;
        RunResult result = run(host, 3, c.path);
        EXPECT_FALSE(result.loaded) << c.path;
        EXPECT_EQ(result.error.rfind(c.path + ": " + c.cause, 0), 0u) << result.error;
    }
}

TEST(Activate, RefusesEveryInterfaceVersionButThree) {
    for (int version : {2, 4, 0, -1}) {
        Object object = weightedObject();
        Host host;
        host.object = &object;
        RunResult result = run(host, version);
        ASSERT_TRUE(result.loaded) << result.error;
        EXPECT_EQ(result.result, 1) << version;
        EXPECT_TRUE(host.messages.empty());
        EXPECT_EQ(host.stats.editsOpened, 0);
    }
}

TEST(Activate, WithoutMessageServiceAnswersTwoOnlyForVersionThree) {
    const std::pair<int, int> cases[] = {{3, 2}, {2, 1}, {4, 1}};
    for (auto [version, expected] : cases) {
        Object object = weightedObject();
        Host host;
        host.object = &object;
        host.withheld.insert("Info Messages 2");
        RunResult result = run(host, version);
        ASSERT_TRUE(result.loaded) << result.error;
        EXPECT_EQ(result.result, expected) << version;
    }
}

TEST(Activate, MorphMapsWithoutWeightMapShowTheMessageAndStop) {
    Object object = lineObject({-1, 1});
    paint(object.layers[0], LWVMAP_MORF, "LeftArm", 0, {1, 2, 3});
    TempDir settings;
    Host host;
    host.object = &object;
    host.settingsDirectory = settings.path();
    RunResult result = run(host, 3);
    ASSERT_TRUE(result.loaded) << result.error;
    EXPECT_EQ(result.result, 0);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].line1, kNoWeightMapsText);
    EXPECT_FALSE(host.messages[0].hasLine2);
    EXPECT_EQ(host.stats.editsOpened, 0);
    EXPECT_FALSE(fileExists(settings.file("sorvex.cfg.txt")));
}

TEST(Activate, WithoutObjectServiceShowsTheSameMessage) {
    Object object = weightedObject();
    Host host;
    host.object = &object;
    host.withheld.insert("Scene Objects 5");
    RunResult result = run(host, 3);
    ASSERT_TRUE(result.loaded) << result.error;
    EXPECT_EQ(result.result, 0);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].line1, kNoWeightMapsText);
}

} // namespace
