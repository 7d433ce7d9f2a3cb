#include "jobs/imageservice/ImageFileState.h"
#include "jobs/imageservice/vips/Guard.h"
#include "platform/files/AtomicWrite.h"
#include "platform/files/ReadFile.h"

namespace quarbel::imageservice {

namespace {

const std::vector<std::uint8_t> kNoBytes;

}  // namespace

ImageFile::ImageFile() noexcept = default;
ImageFile::~ImageFile() = default;
ImageFile::ImageFile(ImageFile&& other) noexcept = default;
ImageFile& ImageFile::operator=(ImageFile&& other) noexcept = default;

Result ImageFile::LoadFile(const std::string& path)
{
    initialize();
    m_state.reset();
    auto loaded = std::make_unique<State>();
    Format format = Format::Unknown;
    const Result read = vips_util::guarded([&] {
        if (auto r = platform::files::readWholeFile(path, loaded->data); !r)
            throw vips_util::Failure(r.reason);
        format = sniffFormat(loaded->data.data(), loaded->data.size());
        if (format == Format::Unknown)
            throw vips_util::Failure("not a supported image format");
    });
    if (!read)
        return read;
    Result header = vips_util::guarded(
        [&] { loaded->info = readHeader(loaded->data.data(), loaded->data.size(), format); },
        std::string("not a valid ") + formatName(format) + " file: ");
    if (header)
        m_state = std::move(loaded);
    return header;
}

Result ImageFile::SaveFile(const std::string& path, SaveMode mode) const
{
    if (IsEmpty())
        return Result::failure("there is no picture to save");
    const auto written = platform::files::writeFileAtomically(
        path, m_state->data.data(), m_state->data.size(),
        mode == SaveMode::FailIfExists ? platform::files::WriteMode::FailIfExists
                                       : platform::files::WriteMode::ReplaceExisting);
    return written ? Result::success() : Result::failure(written.reason);
}

bool ImageFile::IsEmpty() const { return !m_state || m_state->data.empty(); }
std::string ImageFile::FormatID() const
{
    return IsEmpty() ? std::string() : formatIdOf(m_state->info.format);
}
int ImageFile::Width() const { return m_state ? m_state->info.width : 0; }
int ImageFile::Height() const { return m_state ? m_state->info.height : 0; }
int ImageFile::FrameCount() const { return IsEmpty() ? 0 : m_state->info.frames; }
const std::vector<std::uint8_t>& ImageFile::FileData() const { return m_state ? m_state->data : kNoBytes; }

}  // namespace quarbel::imageservice
