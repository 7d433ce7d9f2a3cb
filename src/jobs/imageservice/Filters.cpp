#include "jobs/imageservice/ImageService.h"

#include <algorithm>

namespace quarbel::imageservice {

Property& Filter::Properties(const std::string& name)
{
    auto it = std::find_if(m_properties.begin(), m_properties.end(),
                           [&](const Property& p) { return p.Name == name; });
    if (it != m_properties.end())
        return *it;
    m_properties.push_back(Property{name, {}});
    return m_properties.back();
}

void FilterList::Add(const std::string& filterId, int position)
{
    Filter filter;
    filter.m_id = filterId;
    if (position <= 0 || position > Count())
        m_filters.push_back(std::move(filter));
    else
        m_filters.insert(m_filters.begin() + (position - 1), std::move(filter));
}

Filter& FilterList::operator()(int index)
{
    if (index >= 1 && index <= Count())
        return m_filters[std::size_t(index - 1)];
    m_invalid = Filter();  // whatever was set on it before is forgotten
    return m_invalid;
}

}  // namespace quarbel::imageservice
