#include "jobs/imageservice/ImageFileState.h"
#include "jobs/imageservice/Parameters.h"
#include "jobs/imageservice/vips/Guard.h"
#include "jobs/imageservice/vips/Process.h"

namespace quarbel::imageservice {

namespace {

ProcessRequest requestOf(const Plan& plan, const SourceInfo& info, const CancelToken* cancel)
{
    ProcessRequest request;
    request.cancel = cancel;
    request.target = plan.target;
    request.jpegQuality = plan.jpegQuality;
    request.scale = plan.scale;
    request.metadata = plan.metadata;
    if (plan.scale) {
        const Size size = scaledSize(plan, info.shownWidth(), info.shownHeight());
        request.width = size.width;
        request.height = size.height;
    }
    return request;
}

}  // namespace

FilterInfo ImageProcess::FilterInfos(const std::string& name) const
{
    FilterInfo info;
    info.m_name = name;
    if (name == "Convert")
        info.m_id = kConvertFilterId;
    else if (name == "Scale")
        info.m_id = kScaleFilterId;
    return info;
}

Result ImageProcess::Apply(const ImageFile& in, ImageFile& out, const CancelToken* cancel) const
{
    initialize();
    if (in.IsEmpty() || in.m_state->encodedElsewhere)  // nothing, or a finished file only to be saved
        return Result::failure("there is no picture to process");
    Plan plan;
    if (auto r = makePlan(m_filters, plan); !r)
        return r;
    return vips_util::guarded([&] {
        const auto bytes = in.m_state->bytes();
        Processed result = m_filters.Count() == 0
                               ? Processed{{bytes.begin(), bytes.end()}, in.m_state->info}
                               : process(bytes, in.m_state->info, requestOf(plan, in.m_state->info, cancel));
        // `in` and `out` may be the same object: it changes only now.
        out.m_state = std::make_unique<ImageFile::State>();
        out.m_state->data = std::move(result.data);
        out.m_state->info = result.info;
    });
}

}  // namespace quarbel::imageservice
