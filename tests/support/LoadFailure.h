// Checks that loading damaged bytes throws, and that the text a loader would
// show the player is an "ERROR: ..." line.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/afx/Afx.h"
#include "tests/support/ArchiveBytes.h"

template <typename F>
void ExpectLoadFailure(const std::vector<BYTE>& bytes, F&& read) {
    try {
        LoadBytes(bytes, read);
        ADD_FAILURE() << "damaged bytes loaded without an error";
    } catch (const CException& e) {
        std::string text = (const char*)e.GetErrorText();
        EXPECT_EQ(text.rfind("ERROR: ", 0), 0u) << text;
    }
}
