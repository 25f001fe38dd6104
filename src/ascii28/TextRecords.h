// The text record.
#pragma once

#include "PcbApi.h"

class TPcbText;

namespace ascii28 {

// The record of one text: the free text pass's callback (KindMask 32), and
// called directly by the component writer for a component's designator and
// comment texts.
void WriteTextRecord(ObjectHandle text);
// The callback for a component's own texts: does nothing at all for the
// handles in Run.ComponentNameText and Run.ComponentCommentText (already
// written), hands every other text to WriteTextRecord.
void WriteMemberText(ObjectHandle text);

// The lay-out half of WriteTextRecord: a text names no other object.
void LayOutTextRecord(const TPcbText& text);

}  // namespace ascii28
