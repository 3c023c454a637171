// A file name in ASCII capitals, the form in which pack and cache names are
// compared. Used by PackFile, ResourceCache, the pack builder and zedariva-pack.
#pragma once

#include <string>

inline std::string upperCase(std::string name) {
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return name;
}
