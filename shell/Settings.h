// The program's stored settings: the values the game once kept in the
// system registry, now in a small text file of the user's configuration
// folder ($XDG_CONFIG_HOME/velmor/settings, or ~/.config/velmor/settings).
// Each line is "key\name=value"; other lines of the file are kept.
#pragma once

#include <string>

#include "platform/afx/String.h"

// The settings file's full path; empty when neither variable is set.
std::string GetSettingsPath();

// Creates or replaces one value, writing the file through a temporary that
// replaces it only when complete. FALSE (nothing changed) when the folder
// or file cannot be written.
bool WriteSettingString(const char* key, const char* name, const char* value);

// The stored value, or false when there is none.
bool ReadSettingString(const char* key, const char* name, CString& value);
