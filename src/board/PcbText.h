// Text strings placed on the board.
#pragma once

#include "board/PcbObject.h"

// A text with its reference point at (X, Y).
class TPcbText : public TPCBObject {
 public:
  explicit TPcbText(ObjectHandle handle) : TPCBObject(handle) { Kind = TextObject; }

  Status Load(QueryMode mode) override;
  std::int32_t GetExtra1() const override { return Extra1; }
  std::int32_t GetExtra2() const override { return Extra2; }
  double GetRotation() const override { return Rotation; }
  Coord GetWidth() const override { return LineWidth; }
  Coord GetSize() const override { return Height; }
  Coord GetLineWidth() const override { return LineWidth; }
  std::int32_t GetStyle() const override { return Style; }
  bool GetTextFlag() const override { return TextFlag != 0; }
  void GetText(LenString& out) const override { out.Assign(Text.View()); }
  void SetExtra1(std::int32_t value) override { Extra1 = value; }
  void SetExtra2(std::int32_t value) override { Extra2 = value; }
  void SetRotation(double value) override { Rotation = value; }
  void SetSize(Coord value) override { Height = value; }
  void SetLineWidth(Coord value) override { LineWidth = value; }
  void SetStyle(std::int32_t value) override { Style = value; }
  void SetTextFlag(bool value) override { TextFlag = value ? 1 : 0; }
  void SetText(std::string_view value) override { Text.Assign(value); }

  Coord Height = 0;
  std::int32_t Style = 0;
  double Rotation = 0.0;
  std::uint8_t TextFlag = 0;
  ShortString<kTextBufferSize - 1> Text;
  Coord LineWidth = 0;
  std::int32_t Extra1 = 0;
  std::int32_t Extra2 = 0;
};
