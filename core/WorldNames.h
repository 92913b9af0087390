// The persons of the campaign's world file that the game finds by name:
// the leaders of the clans, the heirs, the consort of the marriage story and
// the two generals the army units treat apart. The world file, the story
// events and the succession rules all read these, so they are written once.
// Full names are "family, given".
#pragma once

// Clan names by campaign clan index 1..13 (index 0 unused).
extern const char* const kClanNames[14];

// The leader of each campaign clan index 1..12 ("Emperor" for 12), index 0
// and 13 unused (the independents follow no leader of the story).
extern const char* const kLeaderNames[14];
// Family and given name of the leaders, in the same order.
extern const char* const kLeaderFamilyNames[14];
extern const char* const kLeaderGivenNames[14];

extern const char* const kPlayerHeirName;      // heir of the player's clan
extern const char* const kKarsinHeirName;      // heir who asks for help
extern const char* const kConsortName;         // the marriage story's consort
extern const char* const kSpecialGeneralNames[2];
// Who follows a fallen leader of clan index 1..7, in order of preference
// (null ends a row; row 0 and clan 8 have none).
extern const char* const kSuccessorNames[8][3];
