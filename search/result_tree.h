// The result tree: one group of items per search, appended below the earlier groups.
#pragma once

// Appends the last search's group: scope, case rule, hit count, search text, and the hits by
// category below it.
void showSearchResults();
