#include <gtest/gtest.h>

#include "ui/filedialog.h"

TEST(FileDialog, SelectionBufferGivesFullPathsInOrder) {
    struct Case {
        std::string buffer;
        std::vector<std::string> paths;
    } cases[] = {
        {std::string("C:\\pics\\a.bmp\0\0", 15), {"C:\\pics\\a.bmp"}},
        {std::string("C:\\pics\0b.gif\0a.bmp\0\0", 22), {"C:\\pics\\b.gif", "C:\\pics\\a.bmp"}},
        {std::string("C:\\\0a.jpg\0b.jpg\0\0", 17), {"C:\\a.jpg", "C:\\b.jpg"}},
        {std::string("\0\0", 2), {}},
        // A buffer without its closing zero ends at its size.
        {std::string("C:\\p\0x.bmp", 10), {"C:\\p\\x.bmp"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitFileSelection(c.buffer.data(), c.buffer.size()), c.paths) << c.buffer;
}
