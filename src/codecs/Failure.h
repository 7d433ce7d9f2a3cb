#pragma once
// How the engine reports a picture it cannot read or write: a Failure carrying a reason for
// people ("the BMP file is truncated"). Everything inside the engine throws it (or
// std::bad_alloc when memory runs out); the Image Service's edge turns both into the Result
// its callers see, so nothing is thrown past it.

#include <stdexcept>

namespace quarbel::codecs {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace quarbel::codecs
