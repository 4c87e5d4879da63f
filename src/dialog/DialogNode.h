#pragma once

#include <memory>
#include <string>
#include <vector>

#include <tinyxml2.h>

namespace core
{
class DialogOption;

// One node of a dialog file: its text and the options whose conditions
// held when it was read. Reading it also runs the node's scripts.
class DialogNode
{
public:
    // A file, name or node that cannot be found is logged with the file name
    // and leaves the node invalid, with no text and no options.
    // Showing a node again after its file changed must not run its scripts
    // a second time, so `runNodeScripts` can be false.
    DialogNode(const std::string& path, const std::string& nodeId, bool runNodeScripts = true);
    virtual ~DialogNode();
    DialogNode(const DialogNode&) = delete;
    DialogNode& operator=(const DialogNode&) = delete;

    bool isValid() const;
    const std::string& getText() const;
    const std::string& getName() const;
    int getNumOptions() const;
    std::string getOptionText(int i) const;
    std::vector<std::string> getOptionTexts() const;
    std::string getNextNode(int i) const;

private:
    bool read(const std::string& nodeId);
    tinyxml2::XMLElement* findNode(tinyxml2::XMLElement* root, const std::string& nodeId) const;
    bool readOption(tinyxml2::XMLElement* optionElement);
    void runScripts(tinyxml2::XMLElement* nodeElement);
    void logError(const std::string& problem) const;

    std::string _filePath;
    std::string _name;
    std::string _text;
    std::vector<std::string> _events;
    std::vector<std::unique_ptr<DialogOption>> _options;
    bool _isValid;
    bool _runNodeScripts;
};
}
