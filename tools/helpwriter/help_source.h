// The help source: a small text format for the title, the topics with their
// context numbers and names, their paragraphs and inline pictures.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// A fault in the source, with the line that has it.
class SourceError : public std::runtime_error {
public:
    SourceError(int line, const std::string& message);
    int Line() const { return line_; }

private:
    int line_;
};

// A run of text or one inline picture.
struct Piece {
    std::string Text;
    int Picture = -1; // index into HelpSource::Pictures, or -1 for text
};

enum class ParagraphStyle { Heading, Text, Step };

struct Paragraph {
    ParagraphStyle Style;
    std::string Label; // a step's number, such as "1."
    std::vector<Piece> Pieces;
    int Line;
};

struct Topic {
    uint32_t Number; // the context number that applications ask for
    std::string Name; // the context name, may be empty
    std::string Title;
    std::vector<Paragraph> Paragraphs;
    int Line;
};

struct HelpSource {
    std::string Title;
    size_t ContentsTopic = 0; // index into Topics
    std::vector<Topic> Topics;
    std::vector<std::string> Pictures; // file names, relative to the source's folder
};

// Reads the source text; throws SourceError for the first fault found.
HelpSource ParseHelpSource(const std::string& text);
