// Where the files and folders dropped onto a gobu go; portable.
#pragma once
#include <functional>
#include <string>
#include <vector>

struct DroppedItems {
    std::vector<std::string> pictures, links;
};

// The dropped items in the order given: the pictures to the picture list, every other
// file and every folder to the linked files. An item the list it goes to holds already
// (the same path in any letter case), or that the drop gave before, is left out.
DroppedItems SortDroppedItems(const std::vector<std::string>& dropped, const std::vector<std::string>& pictures,
                              const std::vector<std::string>& links,
                              const std::function<bool(const std::string&)>& isPicture);
