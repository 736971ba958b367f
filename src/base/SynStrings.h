#pragma once
// The generic list-of-strings interface: indexed strings, each with an
// attached value, a count and an update bracket. The line buffer implements
// it; TStringList is the plain vector-backed implementation.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ludra {

class TStrings {
 public:
  virtual ~TStrings() = default;
  virtual int Count() const = 0;
  // The text of line i; an index outside 0..Count-1 gives an empty string.
  virtual std::string Get(int index) const = 0;
  virtual void Put(int index, const std::string& s) = 0;
  virtual intptr_t GetObject(int index) const = 0;
  virtual void PutObject(int index, intptr_t value) = 0;
  virtual int Add(const std::string& s) = 0;
  virtual void Insert(int index, const std::string& s) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}

  std::string operator[](int index) const { return Get(index); }
  // Index of the first line equal to s, or -1.
  int IndexOf(const std::string& s) const {
    for (int i = 0; i < Count(); ++i)
      if (Get(i) == s) return i;
    return -1;
  }
};

class TStringList : public TStrings {
 public:
  TStringList() = default;
  TStringList(std::initializer_list<std::string> items) {
    for (const auto& s : items) Add(s);
  }
  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Get(int index) const override {
    return index >= 0 && index < Count() ? items_[index].first : std::string();
  }
  void Put(int index, const std::string& s) override { items_.at(index).first = s; }
  intptr_t GetObject(int index) const override {
    return index >= 0 && index < Count() ? items_[index].second : 0;
  }
  void PutObject(int index, intptr_t value) override { items_.at(index).second = value; }
  int Add(const std::string& s) override {
    items_.emplace_back(s, 0);
    return Count() - 1;
  }
  // Takes the string over instead of copying it.
  int Add(std::string&& s) {
    items_.emplace_back(std::move(s), 0);
    return Count() - 1;
  }
  int AddObject(const std::string& s, intptr_t value) {
    items_.emplace_back(s, value);
    return Count() - 1;
  }
  void Insert(int index, const std::string& s) override {
    items_.insert(items_.begin() + index, {s, 0});
  }
  void Delete(int index) override { items_.erase(items_.begin() + index); }
  void Clear() override { items_.clear(); }

 private:
  std::vector<std::pair<std::string, intptr_t>> items_;
};

}  // namespace ludra
