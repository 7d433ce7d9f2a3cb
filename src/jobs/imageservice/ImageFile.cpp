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
    m_state.reset();
    std::vector<std::uint8_t> bytes;
    const Result read = vips_util::guarded([&] {
        if (auto r = platform::files::readWholeFile(path, bytes); !r)
            throw vips_util::Failure(r.reason);
    });
    return read ? LoadBytes(std::move(bytes)) : read;
}

Result ImageFile::LoadBytes(std::vector<std::uint8_t> bytes)
{
    auto loaded = std::make_unique<State>();
    loaded->data = std::move(bytes);
    return load(std::move(loaded));
}

Result ImageFile::LoadView(std::span<const std::uint8_t> bytes)
{
    auto loaded = std::make_unique<State>();
    loaded->viewed = true;
    loaded->held = bytes;
    return load(std::move(loaded));
}

Result ImageFile::load(std::unique_ptr<State> loaded)
{
    initialize();
    m_state.reset();
    const auto bytes = loaded->bytes();
    const Format format = sniffFormat(bytes.data(), bytes.size());
    if (format == Format::Unknown)
        return Result::failure("not a supported image format");
    Result header = vips_util::guarded([&] { loaded->info = readHeader(bytes.data(), bytes.size(), format); },
                                       std::string("not a valid ") + formatName(format) + " file: ");
    if (header)
        m_state = std::move(loaded);
    return header;
}

ImageFile ImageFile::Encoded(std::shared_ptr<const void> owner, std::span<const std::uint8_t> bytes, int fd)
{
    ImageFile file;
    file.m_state = std::make_unique<State>();
    file.m_state->owner = std::move(owner);
    file.m_state->held = bytes;
    file.m_state->encodedElsewhere = true;
    file.m_state->heldFd = fd;
    return file;
}

Result ImageFile::SaveFile(const std::string& path, SaveMode mode, platform::files::SpareFiles* spares) const
{
    if (IsEmpty())
        return Result::failure("there is no picture to save");
    const auto bytes = m_state->bytes();
    const auto writeMode = mode == SaveMode::FailIfExists ? platform::files::WriteMode::FailIfExists
                                                          : platform::files::WriteMode::ReplaceExisting;
    const auto written =
        m_state->heldFd >= 0
            ? platform::files::writeFileAtomically(path, m_state->heldFd, bytes.size(), writeMode,
                                                   platform::files::TempKind::PreferUnnamed, spares)
            : platform::files::writeFileAtomically(path, bytes.data(), bytes.size(), writeMode,
                                                   platform::files::TempKind::PreferUnnamed, spares);
    return written ? Result::success() : Result::failure(written.reason);
}

bool ImageFile::IsEmpty() const { return !m_state || m_state->bytes().empty(); }
std::size_t ImageFile::FileSize() const { return m_state ? m_state->bytes().size() : 0; }
std::string ImageFile::FormatID() const
{
    return IsEmpty() ? std::string() : formatIdOf(m_state->info.format);
}
int ImageFile::Width() const { return m_state ? m_state->info.width : 0; }
int ImageFile::Height() const { return m_state ? m_state->info.height : 0; }
int ImageFile::FrameCount() const { return IsEmpty() ? 0 : m_state->info.frames; }
const std::vector<std::uint8_t>& ImageFile::FileData() const { return m_state ? m_state->data : kNoBytes; }

std::vector<std::uint8_t> ImageFile::TakeFileData()
{
    std::vector<std::uint8_t> data = m_state ? std::move(m_state->data) : std::vector<std::uint8_t>();
    m_state.reset();
    return data;
}

}  // namespace quarbel::imageservice
