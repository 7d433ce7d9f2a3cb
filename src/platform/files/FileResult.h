#pragma once
// What became of reading or writing a file, with a reason for people when it failed.

#include <string>

namespace quarbel::platform::files {

struct FileResult {
    bool ok = true;
    std::string reason;

    explicit operator bool() const { return ok; }
    static FileResult success() { return {}; }
    static FileResult failure(std::string why) { return {false, std::move(why)}; }
};

enum class WriteMode {
    FailIfExists,     // an existing file of that name is left unchanged and the write fails
    ReplaceExisting,  // the new file replaces an existing one atomically, once written completely
};

}  // namespace quarbel::platform::files
