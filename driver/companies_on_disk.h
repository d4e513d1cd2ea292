// The company directories that exist in the base directory, found with one
// listing, so that a wide range of company numbers is walked without
// looking for every directory that is not there.

#pragma once

#include <optional>
#include <set>
#include <string_view>

namespace converte::platform {
class FileSystem;
}

namespace converte::driver {

// The numbers n from first to last for which base holds a directory named
// FIRMA<n> (n without leading zeros, any letter case): every one the loop
// would find. Empty when base does not exist; nullopt when the file system
// cannot list it, and then every number has to be looked at.
std::optional<std::set<long long>> companiesOnDisk(platform::FileSystem& fs,
                                                   std::string_view base, long long first,
                                                   long long last);

// The number a directory name gives a company: FIRMA followed by decimal
// digits without a leading zero; nullopt for any other name.
std::optional<long long> companyDirectoryNumber(std::string_view directoryName);

}  // namespace converte::driver
