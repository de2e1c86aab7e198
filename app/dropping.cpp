#include "app/dropping.h"

#include "share/sharing.h"

DroppedItems SortDroppedItems(const std::vector<std::string>& dropped, const std::vector<std::string>& pictures,
                              const std::vector<std::string>& links,
                              const std::function<bool(const std::string&)>& isPicture) {
    DroppedItems items;
    for (const std::string& item : dropped) {
        const bool picture = isPicture(item);
        std::vector<std::string>& added = picture ? items.pictures : items.links;
        if (!HoldsPath(picture ? pictures : links, item) && !HoldsPath(added, item)) added.push_back(item);
    }
    return items;
}
