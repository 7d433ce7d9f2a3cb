#pragma once
// A file that has no name while it is written, and gets one only once it is complete, so
// that nothing a crash, a kill or a power cut interrupts can be left behind in a user's
// folder. On Linux the file is made with O_TMPFILE and named with linkat(); where the file
// system refuses that, a hidden named file (".quarbel-XXXXXX") stands in and is removed
// unless it was moved into place.

#include <string>

namespace quarbel::platform::files {

// Which kind of temporary file to make: callers take PreferUnnamed; tests force the named
// way to check the fallback.
enum class TempKind { PreferUnnamed, Named };

class UnnamedFile {
public:
    // Opens a new file in the folder; check isOpen(), and error() for why not.
    UnnamedFile(const std::string& folder, TempKind kind, unsigned permissions);
    // Takes over fd, an unnamed file (O_TMPFILE) opened for writing in folder.
    static UnnamedFile adopt(const std::string& folder, int fd);
    ~UnnamedFile();
    UnnamedFile(UnnamedFile&& other) noexcept;
    UnnamedFile(const UnnamedFile&) = delete;
    UnnamedFile& operator=(const UnnamedFile&) = delete;
    UnnamedFile& operator=(UnnamedFile&&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    bool isUnnamed() const { return isOpen() && m_path.empty(); }
    int error() const { return m_error; }
    int fd() const { return m_fd; }

    // Gives the file the name path unless something of that name exists (EEXIST then).
    // Returns 0 or an errno value.
    int linkAs(const std::string& path);
    // Gives the file the name path, atomically replacing whatever file had it.
    int replace(const std::string& path);

private:
    UnnamedFile() = default;
    int nameUnnamed(const std::string& path);
    int renameNamed(const std::string& path, bool replacing);

    std::string m_folder;
    std::string m_path;  // the stand-in's name while it has one
    int m_fd = -1;
    int m_error = 0;
};

// A scratch file with no name at all (O_TMPFILE, or a file unlinked at once), open for
// reading and writing; its space goes back when the descriptor is closed. -1 and errno
// when none could be made.
int openScratchFile(const std::string& folder);
void closeScratchFile(int fd);

}  // namespace quarbel::platform::files
