#include "jobs/imageservice/AtomicWrite.h"
#include "jobs/imageservice/ImageFileState.h"
#include "jobs/imageservice/ReadFile.h"
#include "jobs/imageservice/Vips.h"

namespace quarbel::imageservice {

ImageFile::ImageFile() : d(new State) {}
ImageFile::~ImageFile() { delete d; }
ImageFile::ImageFile(ImageFile&& other) noexcept : d(other.d) { other.d = new State; }
ImageFile& ImageFile::operator=(ImageFile&& other) noexcept
{
    std::swap(d, other.d);
    return *this;
}

Result ImageFile::LoadFile(const std::string& path)
{
    initialize();
    *d = State();
    State loaded;
    if (auto r = readWholeFile(path, loaded.data); !r)
        return r;
    const Format format = sniffFormat(loaded.data.data(), loaded.data.size());
    if (format == Format::Unknown)
        return Result::failure("not a supported image format");
    vips_util::WarningScope warnings;
    try {
        loaded.info = readHeader(loaded.data.data(), loaded.data.size(), format);
    } catch (const vips::VError& e) {
        return Result::failure(std::string("not a valid ") + formatName(format) + " file: " +
                               vips_util::reasonOf(e, warnings));
    } catch (const vips_util::Failure& e) {
        return Result::failure(e.what());
    }
    *d = std::move(loaded);
    return Result::success();
}

Result ImageFile::SaveFile(const std::string& path, SaveMode mode) const
{
    if (IsEmpty())
        return Result::failure("there is no picture to save");
    return writeFileAtomically(path, d->data.data(), d->data.size(), mode);
}

bool ImageFile::IsEmpty() const { return d->data.empty(); }
std::string ImageFile::FormatID() const { return IsEmpty() ? std::string() : formatIdOf(d->info.format); }
int ImageFile::Width() const { return d->info.width; }
int ImageFile::Height() const { return d->info.height; }
int ImageFile::FrameCount() const { return IsEmpty() ? 0 : d->info.frames; }
const std::vector<std::uint8_t>& ImageFile::FileData() const { return d->data; }

}  // namespace quarbel::imageservice
