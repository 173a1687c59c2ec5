// The help source: a small text format for the title, the topics with their
// context numbers and names, their paragraphs and inline pictures.
//
//   # a comment
//   title "Quillstone Help"
//   contents IDH_CONTENTS          (a context name or number; else the first topic)
//   topic 0 IDH_CONTENTS "Quillstone Help"   (number, optional name, title)
//   heading "To view the information in this Help file"
//   step 2. "For Help on an item, click " picture helpbutton.bmp
//       " at the top of the dialog box."   (an indented line continues the one above)
//   text "A plain paragraph; " "adjacent texts are joined."
#include "help_source.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

SourceError::SourceError(int line, const std::string& message)
    : std::runtime_error(message), line_(line)
{}

namespace {

struct Token {
    std::string Text;
    bool Quoted;
    int Line;
};

using Directive = std::vector<Token>;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Splits one line into words and quoted texts; \" and \\ escape inside quotes.
void Tokenize(const std::string& line, int lineNumber, Directive& out)
{
    size_t at = 0;
    while (at < line.size()) {
        if (IsBlank(line[at])) {
            ++at;
            continue;
        }
        Token token{"", line[at] == '"', lineNumber};
        if (!token.Quoted) {
            while (at < line.size() && !IsBlank(line[at]))
                token.Text += line[at++];
            out.push_back(token);
            continue;
        }
        for (++at;; ++at) {
            if (at >= line.size())
                throw SourceError(lineNumber, "a quoted text is not closed");
            char c = line[at];
            if (c == '"')
                break;
            if (c == '\\' && at + 1 < line.size() && (line[at + 1] == '"' || line[at + 1] == '\\'))
                c = line[++at];
            // The file stores text between NULs and commands; control
            // characters have no place in it.
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                throw SourceError(lineNumber, "a quoted text holds a control character");
            token.Text += c;
        }
        ++at;
        out.push_back(token);
    }
}

std::vector<Directive> SplitDirectives(const std::string& text)
{
    std::vector<Directive> directives;
    int lineNumber = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#')
            continue;
        if (first > 0) {
            if (directives.empty())
                throw SourceError(lineNumber, "an indented line continues nothing");
            Tokenize(line, lineNumber, directives.back());
        } else {
            directives.emplace_back();
            Tokenize(line, lineNumber, directives.back());
        }
    }
    return directives;
}

bool ParseNumber(const Token& token, uint32_t* number)
{
    if (token.Quoted || token.Text.empty() ||
        token.Text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    unsigned long long value = strtoull(token.Text.c_str(), nullptr, 10);
    if (errno != 0 || value > 0xFFFFFFFFull)
        return false;
    *number = static_cast<uint32_t>(value);
    return true;
}

// Context names hash letters, digits, '.' and '_' only; anything else would
// be dropped by some readers' hash and reach the wrong topic.
bool IsContextName(const Token& token)
{
    if (token.Quoted || token.Text.empty())
        return false;
    for (char c : token.Text)
        if (!isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_')
            return false;
    return !isdigit(static_cast<unsigned char>(token.Text[0]));
}

class Parser {
public:
    HelpSource Parse(const std::string& text)
    {
        int lastLine = 0;
        for (const Directive& directive : SplitDirectives(text)) {
            lastLine = directive.back().Line;
            Dispatch(directive);
        }
        if (!haveTitle_)
            throw SourceError(lastLine, "the help source has no title");
        if (source_.Topics.empty())
            throw SourceError(lastLine, "the help source has no topic");
        if (!contents_.Text.empty())
            source_.ContentsTopic = FindContext(contents_);
        return source_;
    }

private:
    void Dispatch(const Directive& directive)
    {
        const Token& keyword = directive.front();
        if (keyword.Text == "title")
            ParseTitle(directive);
        else if (keyword.Text == "contents")
            ParseContents(directive);
        else if (keyword.Text == "topic")
            ParseTopic(directive);
        else if (keyword.Text == "heading")
            ParseParagraph(directive, ParagraphStyle::Heading, 1);
        else if (keyword.Text == "text")
            ParseParagraph(directive, ParagraphStyle::Text, 1);
        else if (keyword.Text == "step")
            ParseParagraph(directive, ParagraphStyle::Step, 2);
        else
            throw SourceError(keyword.Line, "unknown directive '" + keyword.Text + "'");
    }

    void ParseTitle(const Directive& directive)
    {
        if (directive.size() != 2 || !directive[1].Quoted || directive[1].Text.empty())
            throw SourceError(directive[0].Line, "'title' takes one quoted text");
        if (haveTitle_)
            throw SourceError(directive[0].Line, "the title is given twice");
        source_.Title = directive[1].Text;
        haveTitle_ = true;
    }

    void ParseContents(const Directive& directive)
    {
        if (directive.size() != 2 || directive[1].Quoted)
            throw SourceError(directive[0].Line, "'contents' takes a context name or number");
        if (!contents_.Text.empty())
            throw SourceError(directive[0].Line, "the contents topic is given twice");
        contents_ = directive[1];
    }

    void ParseTopic(const Directive& directive)
    {
        int line = directive[0].Line;
        bool named = directive.size() == 4;
        if ((directive.size() != 3 && !named) || !directive.back().Quoted)
            throw SourceError(line, "'topic' takes a context number, an optional context name "
                                    "and a quoted title");
        Topic topic{0, "", directive.back().Text, {}, line};
        if (!ParseNumber(directive[1], &topic.Number))
            throw SourceError(line, "'" + directive[1].Text +
                                        "' is not a context number from 0 to 4294967295");
        if (named) {
            if (!IsContextName(directive[2]))
                throw SourceError(line, "'" + directive[2].Text +
                                            "' is not a context name: letters, digits, '.' "
                                            "and '_', not starting with a digit");
            topic.Name = directive[2].Text;
        }
        for (const Topic& other : source_.Topics) {
            if (other.Number == topic.Number)
                throw SourceError(line, "context number " + directive[1].Text +
                                            " is already the topic of line " +
                                            std::to_string(other.Line));
            if (named && Upper(other.Name) == Upper(topic.Name))
                throw SourceError(line, "context name " + topic.Name +
                                            " is already the topic of line " +
                                            std::to_string(other.Line));
        }
        source_.Topics.push_back(topic);
    }

    void ParseParagraph(const Directive& directive, ParagraphStyle style, size_t firstPiece)
    {
        int line = directive[0].Line;
        if (source_.Topics.empty())
            throw SourceError(line, "a paragraph before the first topic");
        Paragraph paragraph{style, "", {}, line};
        if (style == ParagraphStyle::Step) {
            if (directive.size() < 2 || directive[1].Quoted)
                throw SourceError(line, "'step' takes a label such as 1. before its text");
            paragraph.Label = directive[1].Text;
        }
        for (size_t i = firstPiece; i < directive.size(); ++i) {
            const Token& token = directive[i];
            if (token.Quoted) {
                if (paragraph.Pieces.empty() || paragraph.Pieces.back().Picture >= 0)
                    paragraph.Pieces.emplace_back();
                paragraph.Pieces.back().Text += token.Text;
            } else if (token.Text == "picture" && i + 1 < directive.size()) {
                paragraph.Pieces.push_back({"", PictureIndex(directive[++i].Text)});
            } else {
                throw SourceError(token.Line, "expected a quoted text or 'picture <file>', not '" +
                                                  token.Text + "'");
            }
        }
        if (paragraph.Pieces.empty())
            throw SourceError(line, "a paragraph without text");
        source_.Topics.back().Paragraphs.push_back(paragraph);
    }

    int PictureIndex(const std::string& file)
    {
        for (size_t i = 0; i < source_.Pictures.size(); ++i)
            if (source_.Pictures[i] == file)
                return static_cast<int>(i);
        source_.Pictures.push_back(file);
        return static_cast<int>(source_.Pictures.size() - 1);
    }

    size_t FindContext(const Token& context) const
    {
        uint32_t number = 0;
        bool byNumber = ParseNumber(context, &number);
        for (size_t i = 0; i < source_.Topics.size(); ++i) {
            const Topic& topic = source_.Topics[i];
            if (byNumber ? topic.Number == number
                         : !topic.Name.empty() && Upper(topic.Name) == Upper(context.Text))
                return i;
        }
        throw SourceError(context.Line, "unknown context '" + context.Text + "'");
    }

    // Context names are found whatever their case, as the hash ignores case.
    static std::string Upper(std::string text)
    {
        for (char& c : text)
            c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        return text;
    }

    HelpSource source_;
    bool haveTitle_ = false;
    Token contents_{"", false, 0};
};

} // namespace

HelpSource ParseHelpSource(const std::string& text)
{
    return Parser().Parse(text);
}
