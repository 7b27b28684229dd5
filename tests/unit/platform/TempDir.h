#pragma once
// A private temporary folder for one test, removed with everything in it at the end.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace yav::testing {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "yavtest-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

    // Writes raw bytes to a file of the folder and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::string file = File(name);
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

    static std::string Read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::string path_;
};

}  // namespace yav::testing
