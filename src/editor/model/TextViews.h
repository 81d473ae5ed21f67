#pragma once
// String-list views of a control's text: items are paragraphs (TParaStrings)
// or display lines (TLinesStrings). Every change goes through the control's
// Replace, so undo, layout and navigators follow as for typing.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lorvane {

class RIzuvAzazModel;
class TStream;

class RIzuvAzazStrings {
public:
    explicit RIzuvAzazStrings(RIzuvAzazModel& memo) : memo_(memo) {}
    virtual ~RIzuvAzazStrings() = default;
    RIzuvAzazStrings(const RIzuvAzazStrings&) = delete;
    RIzuvAzazStrings& operator=(const RIzuvAzazStrings&) = delete;

    virtual std::string Get(std::int32_t index) = 0;
    virtual std::int32_t Count() = 0;
    virtual void Put(std::int32_t index, std::string_view text) = 0;
    virtual std::int32_t Add(std::string_view text) = 0;
    virtual void Delete(std::int32_t index) = 0;
    virtual void Insert(std::int32_t index, std::string_view text) = 0;

    std::string Text();
    void SetText(std::string_view text);
    void BeginUpdate() noexcept;
    void EndUpdate();
    void Clear() { SetText({}); }
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream);
    // Copies a list of strings in as the text (each item one line).
    void Assign(const std::vector<std::string>& items);
    // The "Strings" filer property, written only when the text is not empty.
    bool HasStringsProperty() const noexcept;
    void WriteStrings(TStream& stream);
    void ReadStrings(TStream& stream);

protected:
    RIzuvAzazModel& memo_;
};

class TParaStrings : public RIzuvAzazStrings {
public:
    using RIzuvAzazStrings::RIzuvAzazStrings;
    std::string Get(std::int32_t index) override;
    std::int32_t Count() override;
    void Put(std::int32_t index, std::string_view text) override;
    std::int32_t Add(std::string_view text) override;
    void Delete(std::int32_t index) override;
    void Insert(std::int32_t index, std::string_view text) override;
};

class TLinesStrings : public RIzuvAzazStrings {
public:
    using RIzuvAzazStrings::RIzuvAzazStrings;
    std::string Get(std::int32_t index) override;
    std::int32_t Count() override;
    void Put(std::int32_t index, std::string_view text) override;
    std::int32_t Add(std::string_view text) override;
    void Delete(std::int32_t index) override;
    void Insert(std::int32_t index, std::string_view text) override;
};

} // namespace lorvane
