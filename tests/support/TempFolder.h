#pragma once

#include <string>

namespace hostdeck::testing {

// A fresh folder for one test, removed with everything in it afterwards.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const { return path_; }
    // path() + separator + name
    std::wstring file(const std::wstring& name) const;

    // Plain helpers for setting up and checking files around the code under test.
    void write(const std::wstring& name, const std::string& bytes) const;
    std::string read(const std::wstring& name) const;
    bool exists(const std::wstring& name) const;
    void setReadOnly(const std::wstring& name, bool readOnly) const;
    // Names of everything in the folder.
    std::wstring listing() const;

  private:
    std::wstring path_;
};

}  // namespace hostdeck::testing
