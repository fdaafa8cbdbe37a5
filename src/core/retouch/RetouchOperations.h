#pragma once
// Everything the retouch dialog calls on the photo, in one include.

#include "core/retouch/AutoTone.h"
#include "core/retouch/ColourOps.h"
#include "core/retouch/Convolution.h"
#include "core/retouch/LayerBlend.h"
#include "core/retouch/LevelsTable.h"
#include "core/retouch/RedEye.h"
#include "core/retouch/RetouchPixels.h"
#include "core/retouch/TBitmap32Undo.h"
#include "core/retouch/CropFrame.h"
#include "core/retouch/TintIcon.h"
#include "core/retouch/TitlePlacement.h"
