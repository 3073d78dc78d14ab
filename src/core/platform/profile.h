#pragma once
// The user's settings, by section and value name: ints stay ints, texts stay texts.
// The desktop program keeps them with QSettings; tests keep them in memory.

#include <map>
#include <string>
#include <utility>

namespace tessaline {

class IProfile {
public:
    virtual ~IProfile() = default;
    virtual int GetInt(const std::string& section, const std::string& name, int def) const = 0;
    virtual std::string GetText(const std::string& section, const std::string& name,
                                const std::string& def) const = 0;
    virtual void WriteInt(const std::string& section, const std::string& name, int value) = 0;
    virtual void WriteText(const std::string& section, const std::string& name,
                           const std::string& value) = 0;
};

class MemoryProfile : public IProfile {
public:
    int GetInt(const std::string& section, const std::string& name, int def) const override {
        auto it = ints_.find({section, name});
        return it == ints_.end() ? def : it->second;
    }
    std::string GetText(const std::string& section, const std::string& name,
                        const std::string& def) const override {
        auto it = texts_.find({section, name});
        return it == texts_.end() ? def : it->second;
    }
    void WriteInt(const std::string& section, const std::string& name, int value) override {
        ints_[{section, name}] = value;
    }
    void WriteText(const std::string& section, const std::string& name,
                   const std::string& value) override {
        texts_[{section, name}] = value;
    }

private:
    std::map<std::pair<std::string, std::string>, int> ints_;
    std::map<std::pair<std::string, std::string>, std::string> texts_;
};

}  // namespace tessaline
