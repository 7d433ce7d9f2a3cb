#include "platform/sandbox/SystemFacts.h"

#include <dirent.h>
#include <unistd.h>
#include <filesystem>

namespace quarbel::platform::sandbox {

std::string programBesideSelf(const std::string& relative, const std::string& name)
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    const std::filesystem::path program = self.parent_path() / relative / name;
    return ::access(program.c_str(), X_OK) == 0 ? program.string() : std::string();
}

int threadsOfThisProcess()
{
    int count = 0;
    if (DIR* tasks = ::opendir("/proc/self/task")) {
        while (const dirent* entry = ::readdir(tasks))
            count += entry->d_name[0] != '.';
        ::closedir(tasks);
    }
    return count;
}

std::uint64_t physicalMemoryBytes()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? std::uint64_t(pages) * std::uint64_t(pageSize) : 0;
}

}  // namespace quarbel::platform::sandbox
