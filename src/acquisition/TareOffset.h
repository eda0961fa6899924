#pragma once

namespace kt7 {

// A device's tare. Which of the three states it is in matters beyond its value: readings less an
// unset or switched-off tare keep 32-bit arithmetic, readings less a tare that is on use 64 bits.
class TareOffset {
  public:
    TareOffset() = default;
    static TareOffset unset() { return {}; }
    static TareOffset zero() { return TareOffset(Kind::Zero, 0); }
    static TareOffset of(double value) { return TareOffset(Kind::Float, value); }

    bool isUnset() const { return kind == Kind::Unset; }
    bool isFloat() const { return kind == Kind::Float; }
    double value() const { return amount; }

    bool operator==(const TareOffset&) const = default;

  private:
    enum class Kind { Unset, Zero, Float };
    TareOffset(Kind kind, double amount) : kind(kind), amount(amount) {}
    Kind kind = Kind::Unset;
    double amount = 0;
};

} // namespace kt7
