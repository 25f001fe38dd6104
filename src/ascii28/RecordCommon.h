// What every record writer shares. A writer has two halves: the load asks the
// host for everything the record holds (the object, the numbers of the
// objects it names, rule values), in the order the host expects; the lay-out
// then formats those values into Run.OutputFile and asks the host nothing.
// The lay-out halves serve the export and any caller that has the values at
// hand. Below: the prefix letter, the two constant fields that open a
// primitive record's data line, and the fields and lines of the records.
#pragma once

#include <cstdint>
#include <string_view>

#include "PcbApi.h"

class TPCBObject;

namespace ascii28 {

// The prologue of every record writer: one step of the host's progress bar,
// then the writer's object read from the host.
void BeginRecord(TPCBObject& object);
// BeginRecord for the records written in both the component pass and the free
// pass: false when the object belongs to a component and this is the free
// pass, where it is left out.
bool BeginPassRecord(TPCBObject& object);

// 'C' inside a component, 'F' for a free object; the line is not ended.
void WriteRecordPrefix();
// "0 0 ", the line is not ended. The handle is not used.
void WriteCommonFields(ObjectHandle object);
// The keyword line of a primitive record: the prefix letter and `letter`.
void WriteKeywordLine(char letter);
// A line of fixed text.
void WriteLine(std::string_view text);

// The keyword line and data line of an arc record, of a free or component arc
// and of an arc entry of a polygon outline alike; `net` is the net's number.
// The line is ended.
void WriteArcLines(Coord x, Coord y, Coord radius, double startAngle, double endAngle, Coord width,
                   HostLayer layer, std::uint16_t net);

// One field after the first of a line: a blank, then the value.
void WriteCoordField(Coord value);  // divided by 10, toward zero
void WriteNumberField(std::uint64_t value);
void WriteSignedField(std::int64_t value);
void WriteLayerField(HostLayer layer);         // the file's layer number
void WriteRealField(double value, int width);  // three decimals, at least `width` wide

}  // namespace ascii28
