// Whole-file reads and writes for the battlefield's own binary files. A
// write goes through a temporary that replaces the file only when complete,
// so a failed write leaves the old file as it was.
#pragma once

#include <vector>

#include "platform/afx/Afx.h"

// FALSE when the file cannot be opened or read whole.
BOOL ReadFileBytes(const char* fileName, std::vector<BYTE>& bytes);
BOOL WriteFileBytes(const char* fileName, const void* data, size_t size);
