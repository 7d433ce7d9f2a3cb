#pragma once
// The one place where the engine's errors become the Result its callers see. Inside, the
// engine throws: our own code vips_util::Failure (a codecs::Failure) with a reason for people,
// libvips vips::VError, anything std::bad_alloc when memory runs out. guarded() runs a piece
// of work and turns each of these into a failed Result, so that nothing is thrown past the
// Image Service and a picture too large for the memory fails alone, not the program.

#include "jobs/imageservice/ImageService.h"
#include "jobs/imageservice/vips/Vips.h"

#include <exception>
#include <string>

namespace quarbel::imageservice::vips_util {

// The Result of an exception thrown by the engine (other than vips::VError).
Result failureOf(std::exception_ptr error);

// Runs work(); a libvips error becomes libraryPrefix followed by libvips' reason (see
// reasonOf), every other exception its own reason.
template <typename Work>
Result guarded(Work&& work, const std::string& libraryPrefix = {})
{
    try {
        WarningScope warnings;
        try {
            work();
            return Result::success();
        } catch (const vips::VError& e) {
            return Result::failure(libraryPrefix + reasonOf(e, warnings));
        }
    } catch (...) {
        return failureOf(std::current_exception());
    }
}

}  // namespace quarbel::imageservice::vips_util
