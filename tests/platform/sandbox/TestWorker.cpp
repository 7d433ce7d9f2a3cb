// A worker built only for the tests, whose decoder misbehaves on request (TestDecoder.h).

#include "TestDecoder.h"

int main(int argc, char** argv)
{
    using namespace quarbel::platform::sandbox;
    return runWorker(argc, argv, test::testDecode, test::testPrepare);
}
