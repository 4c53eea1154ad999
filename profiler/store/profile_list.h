#pragma once
// The rows of the profile list, in the order the list view, its images and the Launch submenu show
// them: the model those are views of, read by the launcher, the watcher, Delete and Edit.
#include <string>
#include <vector>

#include "store/profile_store.h"

struct ListedProfile {
    std::string location;
    std::string title;
    bool ownIcon = false; // the game's icon is in place of the stand-in's
};

struct ProfileList {
    std::vector<ListedProfile> rows;

    int size() const { return static_cast<int>(rows.size()); }
    bool has(int row) const { return row >= 0 && row < size(); }
    void append(const ProfileRow& row) { rows.push_back({row.location, row.title, false}); }
    std::vector<std::string> locations() const
    {
        std::vector<std::string> all;
        all.reserve(rows.size());
        for (const ListedProfile& row : rows)
            all.push_back(row.location);
        return all;
    }
};
