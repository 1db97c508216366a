// UserSettings: the editor's per-user settings, kept in an INI file in the
// user's application-data folder (%APPDATA%\Quorvane\Quorvane.ini). One
// instance per process, reached with Get(); tests point it at a file of
// their own with SetPath. Every read has a default, so a missing or broken
// file means "as on the first start".
#pragma once

#include <string>

class UserSettings {
public:
    static UserSettings& Get();

    UserSettings(const UserSettings&) = delete;
    UserSettings& operator=(const UserSettings&) = delete;

    void SetPath(const std::string& iniPath);
    const std::string& Path() const;

    int GetInt(const char* section, const char* key, int defaultValue) const;
    std::string GetString(const char* section, const char* key, const std::string& defaultValue) const;
    // 1 when the value reached the file, 0 when it did not.
    int SetInt(const char* section, const char* key, int value);
    int SetString(const char* section, const char* key, const std::string& value);

private:
    UserSettings();
    // Makes the file's folder on the first write.
    int PrepareFolder() const;

    std::string path;
};
