// Profiles come from the network, so parsing one must never make the parser fetch anything. These tests run
// against a local HTTP server that logs every request line (run_with_store.sh starts it and passes its port
// and log through KELVO_DOM_HTTP_PORT and KELVO_DOM_HTTP_LOG); without it they are skipped.
// Observed with Wine 8: its MSXML fetches neither external entities nor external DTDs whatever the document's
// settings, so under Wine these tests hold the refusal and the no-request rule; on Windows they also hold the
// parser's lockdown, since MSXML 3 resolves externals by default.
#include <gtest/gtest.h>

#include "tests/platform/TestEnvironment.h"

#include <windows.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "DomTestSupport.h"
#include "common/ipc/SuiteNames.h"
#include "platform/WideText.h"
#include "platform/dom/CEXml.h"
#include "platform/dom/XmlItem.h"

namespace {

using domtest::BoxRecorder;
using domtest::ScratchDir;

std::string ReadAll(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class CEXmlNetwork : public testing::Test {
protected:
    void SetUp() override {
        m_port = kelvo_test::EnvironmentText(L"KELVO_DOM_HTTP_PORT");
        m_log = kelvo_test::EnvironmentText(L"KELVO_DOM_HTTP_LOG");
        if (m_port.empty() || m_log.empty()) {
            GTEST_SKIP() << "needs the local HTTP server: run through run_with_store.sh";
        }
    }

    std::string Url(const char* file) const {
        return "http://127.0.0.1:" + std::string(m_port.begin(), m_port.end()) + "/" + file;
    }

    // True once a request line for `file` is in the server's log. A request is logged before its answer is
    // sent, so after a load that fetched it has returned, the line is there.
    bool WasRequested(const char* file) const {
        std::string needle = std::string(" /") + file + " ";
        return ReadAll(m_log).find(needle) != std::string::npos;
    }

    // Proves the server and its log are live, so an absent line means no request rather than a dead server.
    void ExpectServerAnswers(const char* probe) {
        BoxRecorder boxes;
        CCEXML xml(boxes);
        std::string url = Url(probe);
        EXPECT_TRUE(xml.Load(std::wstring(url.begin(), url.end()))) << testing::PrintToString(xml.LastError());
        EXPECT_TRUE(WasRequested(probe));
    }

    // Loads a profile written with the server's address in it; returns whether Load accepted it.
    bool LoadProfile(const std::string& text) {
        ScratchDir dir;
        EXPECT_TRUE(dir.Write(platform::WideCStr(common::kProfileFile), text));
        BoxRecorder boxes;
        CCEXML xml(boxes);
        bool isLoaded = xml.Load(dir.File(platform::WideCStr(common::kProfileFile)));
        if (isLoaded) {
            CXmlItem root;
            xml.ToItemTree(root);
        }
        EXPECT_TRUE(boxes.boxes().empty());
        return isLoaded;
    }

    std::wstring m_port;
    std::wstring m_log;
};

TEST_F(CEXmlNetwork, ExternalEntityIsNeverFetched) {
    ExpectServerAnswers("control-before.xml");
    bool isLoaded = LoadProfile("<?xml version=\"1.0\"?>\n<!DOCTYPE p [<!ENTITY x SYSTEM \"" + Url("evil.txt") +
                                "\">]>\n<p>&x;</p>\n");
    EXPECT_FALSE(isLoaded);
    ExpectServerAnswers("control-after.xml");
    EXPECT_FALSE(WasRequested("evil.txt"));
}

TEST_F(CEXmlNetwork, ExternalDtdIsNeverFetched) {
    ExpectServerAnswers("control-before.xml");
    EXPECT_FALSE(LoadProfile("<?xml version=\"1.0\"?>\n<!DOCTYPE p SYSTEM \"" + Url("evil.dtd") + "\">\n<p>a</p>\n"));
    EXPECT_FALSE(LoadProfile("<?xml version=\"1.0\"?>\n<!DOCTYPE p [<!ENTITY % e SYSTEM \"" + Url("evil-pe.dtd") +
                             "\"> %e;]>\n<p>a</p>\n"));
    ExpectServerAnswers("control-after.xml");
    EXPECT_FALSE(WasRequested("evil.dtd"));
    EXPECT_FALSE(WasRequested("evil-pe.dtd"));
}

}  // namespace
