// Fills the result tree from the library's last search.
#include "result_tree.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "app/app.h"
#include "library/joke_reader.h"
#include "resources/resource.h"

namespace {

HTREEITEM insertItem(HTREEITEM parent, const std::wstring& text, LPARAM value) {
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.lParam = value;
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(resultTree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

// A hit's item value is joke * 1000 + category. A hit that value cannot carry (category 1000 or
// more, or a product beyond 32 bits) is marked like a heading, so a double-click on it does
// nothing instead of showing some other joke.
LPARAM hitValue(std::uint32_t category, std::uint32_t joke) {
    const std::uint32_t largest = 0x7FFFFFFF;
    if (category >= 1000 || joke > (largest - category) / 1000) {
        return ID_RESULT_HEADER;
    }
    return static_cast<LPARAM>(joke * 1000 + category);
}

} // namespace

void showSearchResults() {
    std::wstring scope = isMenuItemChecked(menuBar, IDM_ALL_CATEGORIES)
                             ? L"In allen Kategorien:"
                             : L"Nur \"" + library.getCategoryName(0) + L"\"";
    std::wstring caseRule = isMenuItemChecked(menuBar, IDM_MATCH_CASE)
                                ? L"Schreibung beachtet"
                                : L"Schreibung nicht beachtet";
    std::uint32_t hitCount = library.getHitCount();
    insertItem(TVI_ROOT, scope, ID_RESULT_HEADER);
    insertItem(TVI_ROOT, caseRule, ID_RESULT_HEADER);
    insertItem(TVI_ROOT, intToString(static_cast<std::int32_t>(hitCount)) + L" Fundstellen",
               ID_RESULT_HEADER);
    HTREEITEM textItem = insertItem(TVI_ROOT, library.getSearchText(), ID_RESULT_HEADER);

    // Wine's tree view finds the item a message names by a linear scan over all items in the
    // order they were inserted, so inserting a hit costs as many steps as items came before its
    // parent. The group's category items therefore go in first, one per run of hits in the same
    // category, and the hits after them: the same tree, each hit's parent found early.
    const auto& categories = library.getHitCategories();
    const auto& jokes = library.getHitJokes();
    std::vector<HTREEITEM> categoryItems;
    std::uint32_t previousCategory = 0;
    for (std::uint32_t i = 1; i <= hitCount; ++i) {
        std::uint32_t n = categories[i];
        if (n != previousCategory) {
            categoryItems.push_back(
                insertItem(textItem, library.getCategoryName(n), ID_RESULT_HEADER));
            previousCategory = n;
        }
    }

    previousCategory = 0;
    std::size_t run = 0;
    HTREEITEM categoryItem = nullptr;
    for (std::uint32_t i = 1; i <= hitCount; ++i) {
        std::uint32_t n = categories[i];
        std::uint32_t k = jokes[i];
        if (n != previousCategory) {
            categoryItem = categoryItems[run++];
            previousCategory = n;
        }
        insertItem(categoryItem, intToString(static_cast<std::int32_t>(k)), hitValue(n, k));
    }
}
