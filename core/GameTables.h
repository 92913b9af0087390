// The game's constant lookup tables: sine and cosine by whole degree, the
// order-type sounds, nation names, the map-object catalogue, the key-code to
// character tables, and the optional log stream.
#pragma once

#include <cstdint>
#include <cstdio>

#include "platform/afx/AfxTypes.h"
#include "platform/afx/String.h"

extern double SinTable[360];
extern double CosTable[360];
// Set once BuildSinCosTables has run.
extern BYTE SinCosTablesBuilt;

// Fills SinTable and CosTable for 0..359 degrees. The values are exactly the
// library's sin and cos of i * (pi / 180), so every machine gets the same
// bits (CosTable[90] is a tiny non-zero number, not 0).
void BuildSinCosTables();

// The picture extension appended to every picture name (".giz").
extern CString ImageExtension;

constexpr int DefaultPlayerNameCount = 28;
extern const char* const DefaultPlayerNames[DefaultPlayerNameCount];

// The acknowledgement sound of an order type (10 for any other type).
int OrderTypeToSoundId(int orderType);

// The nation of a clan name, compared without regard to case; -1 when the
// name is not a nation.
int NationIdFromName(const char* name);

// The map-object catalogue: types 0..390, each with an image name and a
// resource number. Types outside the catalogue give an empty name and -1.
constexpr int MapObjectTypeCount = 391;
CString GetObjectImageName(int type, bool withExtension);
int GetObjectResourceNumber(int type);
// The exact inverse of GetObjectResourceNumber; -1 for any other number.
int GetObjectTypeFromResource(int resource);
// The flag object of nation 1..8 in variant 1..4; -1 otherwise.
int GetFlagObjectType(int nation, int variant);

// The character of a virtual-key code, unshifted or shifted. Keys that give
// no character give 0 or a negative code (unique per key), never a printable
// character; codes outside 0..255 give 0.
int16_t KeyToChar(int key, bool shifted);

// The program's optional log stream: none opens it; CloseLogFile writes a
// closing line and closes it when it is open.
extern FILE* LogFile;
void CloseLogFile();
