#include "core/check/ConsoleNames.h"

#include "core/catalogue/Catalogue.h"

namespace vbu {

void ConsoleNames::addCommand(QByteArrayView name)
{
    m_commands.insert(name.toByteArray().toLower());
}

ConsoleNames ConsoleNames::fromCatalogue(const Catalogue &catalogue, ScriptTokenizer::Dialect game)
{
    ConsoleNames out;
    const QByteArray group = game == ScriptTokenizer::Dialect::Quake ? "Quake" : "Quake2";
    const QList<Catalogue::Node> &nodes = catalogue.nodes();
    for (const int top : catalogue.topLevel()) {
        if (!nodes.at(top).isGroup() || nodes.at(top).text != group)
            continue;
        QList<int> pending = nodes.at(top).children;
        while (!pending.isEmpty()) {
            const Catalogue::Node &node = nodes.at(pending.takeLast());
            pending += node.children;
            if (!node.isCommand())
                continue;
            const ScriptTokenizer::Tokens words = ScriptTokenizer::tokenize(node.text, game);
            if (words.tokens.isEmpty())
                continue;
            const QByteArrayView name = words.tokens.constFirst().text;
            out.addCommand(name);
            // The games make every button command in pairs; the catalogue may list only the press.
            if (name.size() > 1 && name.front() == '+')
                out.addCommand(QByteArray('-' + name.sliced(1).toByteArray()));
        }
    }
    return out;
}

} // namespace vbu
