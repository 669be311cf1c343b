#pragma once

#include <filesystem>
#include <string>

namespace hostdeck::testing {

// A fresh folder for one test, removed with everything in it afterwards. Its name holds
// characters outside ASCII, as users' folders do.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::wstring path() const;
    std::wstring file(const std::wstring& name) const;  // the folder, a separator, and name
    std::filesystem::path fsPath(const std::wstring& name) const;
    void write(const std::wstring& name, const std::string& bytes) const;
    std::string read(const std::wstring& name) const;  // "<missing>" when there is none
    void setReadOnly(const std::wstring& name, bool readOnly) const;

  private:
    std::filesystem::path path_;
};

}  // namespace hostdeck::testing
