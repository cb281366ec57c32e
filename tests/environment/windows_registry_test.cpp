// SPDX-License-Identifier: MIT
// The real registry, in a key of the test's own that it writes in either view and
// removes again. Writing HKEY_LOCAL_MACHINE needs an administrator on Windows; under
// Wine, where the tests run, anyone may.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/registry.h"

namespace {

class RegistryViewTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
            RegDeleteKeyExA(HKEY_LOCAL_MACHINE, m_key.c_str(), view, 0);
        }
    }

    bool Write(REGSAM view, DWORD type, const std::string& data) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, m_key.c_str(), 0, nullptr, 0, KEY_WRITE | view,
                            nullptr, &key, nullptr) != ERROR_SUCCESS) {
            return false;
        }
        const bool ok =
            RegSetValueExA(key, "AppPath", 0, type, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
        RegCloseKey(key);
        return ok;
    }

    std::vector<std::string> Texts() {
        std::vector<std::string> texts;
        for (const RegistryHit& hit :
             FindMachineRegistryValues({}, {"software", m_name}, "AppPath")) {
            texts.push_back(hit.text);
        }
        return texts;
    }

    const std::string m_name = "LumoTest" + std::to_string(GetCurrentProcessId());
    const std::string m_key = "Software\\" + m_name;
};

}  // namespace

TEST_F(RegistryViewTest, Reads32BitViewFirstThen64BitAndBinaryValuesAsText) {
    if (!Write(KEY_WOW64_64KEY, REG_SZ, std::string("C:\\Sixty\0", 9))) {
        GTEST_SKIP() << "HKEY_LOCAL_MACHINE is not writable here";
    }
    EXPECT_EQ(Texts(), std::vector<std::string>{"C:\\Sixty"});
    ASSERT_TRUE(Write(KEY_WOW64_32KEY, REG_BINARY, std::string("C:\\Bin\0junk", 11)));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"C:\\Bin", "C:\\Sixty"}));
    ASSERT_TRUE(Write(KEY_WOW64_32KEY, REG_DWORD, std::string("\1\0\0\0", 4)));
    EXPECT_EQ(Texts(), std::vector<std::string>{"C:\\Sixty"});  // a number is no path
}
