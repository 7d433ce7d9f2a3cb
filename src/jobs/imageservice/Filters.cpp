#include "jobs/imageservice/ImageService.h"

#include <algorithm>

namespace quarbel::imageservice {

Property& Filter::Properties(const std::string& name)
{
    auto it = std::find_if(properties_.begin(), properties_.end(),
                           [&](const Property& p) { return p.Name == name; });
    if (it != properties_.end())
        return *it;
    properties_.push_back(Property{name, {}});
    return properties_.back();
}

void FilterList::Add(const std::string& filterId, int position)
{
    Filter filter;
    filter.id_ = filterId;
    if (position <= 0 || position > Count())
        filters_.push_back(std::move(filter));
    else
        filters_.insert(filters_.begin() + (position - 1), std::move(filter));
}

Filter& FilterList::operator()(int index)
{
    if (index >= 1 && index <= Count())
        return filters_[std::size_t(index - 1)];
    invalid_ = Filter();  // whatever was set on it before is forgotten
    return invalid_;
}

}  // namespace quarbel::imageservice
