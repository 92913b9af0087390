// The object, collection, string, file and archive layer the game stands on.
#pragma once

#include "platform/afx/AfxTypes.h"
#include "platform/afx/Bytes.h"
#include "platform/afx/Archive.h"
#include "platform/afx/Exceptions.h"
#include "platform/afx/File.h"
#include "platform/afx/Lists.h"
#include "platform/afx/Map.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/Object.h"
#include "platform/afx/PathResolver.h"
#include "platform/afx/Rect.h"
#include "platform/afx/String.h"
#include "platform/afx/Time.h"
