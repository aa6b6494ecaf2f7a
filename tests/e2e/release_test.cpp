// What Windows reads from the exe itself: the version resource (the file's Properties) and the
// application manifest, read back through the system's own parsers.
#include "harness.h"
#include "version.h"

#include <gtest/gtest.h>

#include <vector>

using namespace e2e;

namespace {

std::vector<char> VersionBlock() {
    const std::string exe = VeltraExe();
    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeA(exe.c_str(), &ignored));
    if (block.empty() || !GetFileVersionInfoA(exe.c_str(), 0, static_cast<DWORD>(block.size()), block.data())) {
        block.clear();
    }
    return block;
}

std::string VersionString(std::vector<char>& block, const std::string& name) {
    char* value = nullptr;
    UINT length = 0;
    const std::string path = "\\StringFileInfo\\040904B0\\" + name;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) return "(none)";
    return std::string(value, length > 0 ? length - 1 : 0);
}

// The exe's manifest as the loader parses it; INVALID_HANDLE_VALUE when it is missing or malformed.
HANDLE ManifestContext() {
    const std::wstring exe = Widen(VeltraExe());
    ACTCTXW request = {};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = exe.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(1);  // CREATEPROCESS_MANIFEST_RESOURCE_ID
    return CreateActCtxW(&request);
}

std::wstring ManifestSetting(HANDLE context, const wchar_t* ns, const wchar_t* name) {
    wchar_t value[64] = {};
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, context, ns, name, value, 64, &written)) return L"(none)";
    return value;
}

}  // namespace

TEST(Release, VersionResourceCarriesTheBuildVersion) {
    std::vector<char> block = VersionBlock();
    ASSERT_FALSE(block.empty()) << "no version resource";
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD high = MAKELONG(VELTRA_VERSION_MINOR, VELTRA_VERSION_MAJOR);
    const DWORD low = MAKELONG(0, VELTRA_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    const struct {
        const char* name;
        std::string value;
    } strings[] = {
        {"FileVersion", VELTRA_VERSION_TEXT},
        {"ProductVersion", VELTRA_VERSION_TEXT},
        {"ProductName", "VELTRA"},
        {"FileDescription", "VELTRA picture viewer"},
        {"OriginalFilename", "veltra.exe"},
        {"LegalCopyright", "Copyright (c) 2026 The VELTRA developers"},
    };
    for (const auto& row : strings) {
        EXPECT_EQ(VersionString(block, row.name), row.value) << row.name;
    }
}

TEST(Release, ManifestParsesAndAsksForWhatTheProgramNeeds) {
    const std::string manifest = VeltraResources().Raw(CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    ASSERT_FALSE(manifest.empty()) << "no manifest resource";
    HANDLE context = ManifestContext();
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "the loader refuses the manifest, error " << GetLastError();

    EXPECT_EQ(ManifestSetting(context, nullptr, L"dpiAware"), L"false");
    EXPECT_EQ(ManifestSetting(context, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
              L"unaware");

    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION runLevel = {};
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &runLevel, sizeof(runLevel),
                             nullptr));
    EXPECT_EQ(runLevel.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_FALSE(runLevel.UiAccess);

    // Windows 7, 8, 8.1 and 10/11 (one identifier for both), in the manifest's order.
    const GUID supported[] = {
        {0x35138b9a, 0x5d96, 0x4fbd, {0x8e, 0x2d, 0xa2, 0x44, 0x02, 0x25, 0xf9, 0x3a}},
        {0x4a2f28e3, 0x53b9, 0x4441, {0xba, 0x9c, 0xd6, 0x9d, 0x4a, 0x4a, 0x6e, 0x38}},
        {0x1f676c76, 0x80e1, 0x4239, {0x95, 0xbb, 0x83, 0xd0, 0xf6, 0xd0, 0xda, 0x78}},
        {0x8e0f7a12, 0xbfb3, 0x4fe8, {0xb9, 0xa5, 0x48, 0xfd, 0x50, 0xa1, 0x5a, 0x9a}},
    };
    // The layout of Windows 10 (1903 on) and Wine; the SDK headers here still lack MaxVersionTested.
    struct Element {
        GUID Id;
        ACTCTX_COMPATIBILITY_ELEMENT_TYPE Type;
        ULONGLONG MaxVersionTested;
    };
    struct {
        DWORD count;
        Element elements[8];
    } compatibility = {};
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, &compatibility,
                             sizeof(compatibility), nullptr));
    ASSERT_EQ(compatibility.count, 4u);
    for (DWORD i = 0; i < 4; ++i) {
        EXPECT_EQ(compatibility.elements[i].Type, ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS) << i;
        EXPECT_TRUE(IsEqualGUID(compatibility.elements[i].Id, supported[i])) << "supportedOS " << i;
    }

    // Only the program's own assembly: no dependency on version 6 of the common controls.
    // The structure is followed by the strings it points to.
    union {
        ACTIVATION_CONTEXT_DETAILED_INFORMATION detail;
        char space[4096];
    } information = {};
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, ActivationContextDetailedInformation, &information,
                             sizeof(information), nullptr));
    EXPECT_EQ(information.detail.ulAssemblyCount, 1u);
    ReleaseActCtx(context);
}
