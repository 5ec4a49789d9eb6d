// The hook's data live in the shared library's "hookdata" section, in their
// order: the hook handle, then the target window. Read from the built
// library's section headers and from its memory once it is loaded.
#include "platform/hook.h"
#include "platform/window.h"
#include "support/process.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <dlfcn.h>
#include <elf.h>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace {

struct Section {
    std::uint64_t lowestLoad = 0; // the first loaded address the file names
    std::uint64_t address = 0;
    std::uint64_t size = 0;
    std::uint64_t flags = 0;
    std::uint32_t type = 0;
};

std::optional<Section> findSection(const std::string& path, const std::string& wanted) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    if (bytes.size() < sizeof(Elf64_Ehdr))
        return std::nullopt;
    Elf64_Ehdr header;
    std::memcpy(&header, bytes.data(), sizeof header);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64)
        return std::nullopt;
    const auto sectionAt = [&](std::size_t index) {
        Elf64_Shdr s;
        const std::size_t at = header.e_shoff + index * header.e_shentsize;
        if (at + sizeof s > bytes.size())
            return std::optional<Elf64_Shdr>{};
        std::memcpy(&s, bytes.data() + at, sizeof s);
        return std::optional<Elf64_Shdr>{s};
    };
    std::uint64_t lowestLoad = UINT64_MAX;
    for (std::size_t i = 0; i < header.e_phnum; ++i) {
        Elf64_Phdr p;
        const std::size_t at = header.e_phoff + i * header.e_phentsize;
        if (at + sizeof p > bytes.size())
            return std::nullopt;
        std::memcpy(&p, bytes.data() + at, sizeof p);
        if (p.p_type == PT_LOAD)
            lowestLoad = std::min<std::uint64_t>(lowestLoad, p.p_vaddr & ~std::uint64_t{0xfff});
    }
    const auto names = sectionAt(header.e_shstrndx);
    if (!names)
        return std::nullopt;
    for (std::size_t i = 0; i < header.e_shnum; ++i) {
        const auto s = sectionAt(i);
        if (!s || names->sh_offset + s->sh_name >= bytes.size())
            return std::nullopt;
        if (wanted == bytes.data() + names->sh_offset + s->sh_name)
            return Section{lowestLoad, s->sh_addr, s->sh_size, s->sh_flags, s->sh_type};
    }
    return std::nullopt;
}

TEST(HookSection, HoldsTheHandleThenTheWindowOfTheLastInstall) {
    const std::string path = testing_support::binPath("libVantaCorvHWI.so");
    const auto section = findSection(path, "hookdata");
    ASSERT_TRUE(section) << "no hookdata section in " << path;
    EXPECT_EQ(section->type, static_cast<std::uint32_t>(SHT_PROGBITS));
    EXPECT_EQ(section->flags & (SHF_WRITE | SHF_ALLOC),
              static_cast<std::uint64_t>(SHF_WRITE | SHF_ALLOC));
    ASSERT_GE(section->size, 2 * sizeof(void*));

    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << ::dlerror();
    using Install = void (*)(HWND);
    using Uninstall = void (*)();
    auto install = reinterpret_cast<Install>(::dlsym(library, "_Z11InstallHookP14PlatformWindow"));
    auto uninstall = reinterpret_cast<Uninstall>(::dlsym(library, "_Z13UninstallHookv"));
    ASSERT_TRUE(install && uninstall);
    // Where the library was loaded: the base of its lowest mapping.
    Dl_info info{};
    ASSERT_NE(::dladdr(reinterpret_cast<void*>(install), &info), 0);
    const auto bias = reinterpret_cast<std::uintptr_t>(info.dli_fbase) - section->lowestLoad;
    const auto* data = reinterpret_cast<const void* const*>(bias + section->address);

    EXPECT_EQ(data[0], nullptr) << "zero until the first install";
    EXPECT_EQ(data[1], nullptr);

    platform::MessageQueueWindow window;
    install(window.handle());
    EXPECT_NE(data[0], nullptr);
    EXPECT_EQ(data[1], static_cast<const void*>(window.handle()));
    const void* const handle = data[0];
    platform::KBDLLHOOKSTRUCT event;
    event.vkCode = 0x41;
    EXPECT_TRUE(platform::feedKeyEvent(platform::WM_KEYDOWN, event));
    EXPECT_EQ(window.take().size(), 1u) << "the loaded library's hook posted";

    uninstall();
    EXPECT_FALSE(platform::keyboardHookInstalled());
    EXPECT_EQ(data[0], handle) << "the data keep their values";
    EXPECT_EQ(data[1], static_cast<const void*>(window.handle()));
    ::dlclose(library);
}

} // namespace
