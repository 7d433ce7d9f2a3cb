#include "jobs/imageservice/vips/Guard.h"

#include <new>

namespace quarbel::imageservice::vips_util {

Result failureOf(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const Failure& e) {
        return Result::failure(e.what());
    } catch (const std::bad_alloc&) {
        return Result::failure("not enough memory for this picture");
    } catch (const std::exception& e) {
        return Result::failure(e.what());
    } catch (...) {
        return Result::failure("unexpected error while processing the image");
    }
}

}  // namespace quarbel::imageservice::vips_util
