// The document's name tables for captains and new generals.
#pragma once

constexpr int kCaptainNameCount = 127;
constexpr int kGivenNameCount = 31;

// "Cap " followed by a family name of 2 to 10 letters.
extern const char* const kCaptainNames[kCaptainNameCount];
// Given names of 6 to 9 letters.
extern const char* const kGivenNames[kGivenNameCount];
