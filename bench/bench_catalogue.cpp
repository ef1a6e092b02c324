// The command catalogue: reading 30,000 records, and filling the Command List's tree from them.
#include "core/catalogue/Catalogue.h"
#include "core/catalogue/CatalogueFile.h"
#include "core/catalogue/CatalogueProgress.h"

#include <QIcon>
#include <QPixmap>
#include <QProgressBar>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// 30,000 records: a version line, 10 groups of 20 sections, and commands evenly among them.
QByteArray generatedCatalogue()
{
    constexpr int records = 30000;
    constexpr int groups = 10;
    constexpr int sections = 20;
    constexpr int commands = records - 1 - groups - groups * sections;
    QByteArray out = "//1.0\r\n"_ba;
    int written = 0;
    for (int g = 0; g < groups; ++g) {
        out += "{Group " + QByteArray::number(g) + "}\r\n";
        for (int s = 0; s < sections; ++s) {
            out += "[Section " + QByteArray::number(g) + '.' + QByteArray::number(s) + "]\r\n";
            const int target = commands * (g * sections + s + 1) / (groups * sections);
            for (; written < target; ++written)
                out += "cl_forwardspeed " + QByteArray::number(written) + "\r\n";
        }
    }
    return out;
}

const QByteArray &catalogueBytes()
{
    static const QByteArray bytes = generatedCatalogue();
    return bytes;
}

class BarProgress final : public vbu::CatalogueProgress
{
public:
    explicit BarProgress(QProgressBar &bar) : m_bar(bar) {}
    void setMaximum(int maximum) override { m_bar.setRange(0, maximum); }
    void setValue(int value) override { m_bar.setValue(value); }

private:
    QProgressBar &m_bar;
};

QIcon folderIcon()
{
    QPixmap p(16, 16);
    p.fill(Qt::green);
    return QIcon(p);
}

QIcon commandIcon()
{
    QPixmap p(16, 16);
    p.fill(Qt::gray);
    return QIcon(p);
}

// As the window would: every node after its parent, texts through Latin-1, keys kept as data.
void fillTree(QTreeWidget &tree, const vbu::Catalogue &c, const QIcon &folder, const QIcon &command)
{
    tree.clear();
    const auto &nodes = c.nodes();
    QList<QTreeWidgetItem *> items(nodes.size(), nullptr);
    QList<QTreeWidgetItem *> top;
    top.reserve(c.topLevel().size());
    for (qsizetype i = 0; i < nodes.size(); ++i) {
        const vbu::Catalogue::Node &n = nodes.at(i);
        auto *item = n.parent < 0 ? new QTreeWidgetItem : new QTreeWidgetItem(items.at(n.parent));
        item->setText(0, QString::fromLatin1(n.text));
        item->setIcon(0, n.image == vbu::Catalogue::CommandImage ? command : folder);
        if (!n.key.isEmpty())
            item->setData(0, Qt::UserRole, QString::fromLatin1(n.key));
        if (n.parent < 0)
            top.append(item);
        items[i] = item;
    }
    tree.addTopLevelItems(top);
}

void BM_CatalogueParse(benchmark::State &state)
{
    const QByteArray &bytes = catalogueBytes();
    for (auto _ : state) {
        const vbu::Catalogue c = vbu::Catalogue::parse(bytes);
        benchmark::DoNotOptimize(c.nodes().size());
    }
    state.SetItemsProcessed(state.iterations() * 30000);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_CatalogueParse)->Unit(benchmark::kMillisecond);

// From the file, with a progress bar on screen following every node.
void BM_CatalogueLoadFileWithProgressBar(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"commands.dat"_s);
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(catalogueBytes()) != catalogueBytes().size()) {
            state.SkipWithError("cannot write the catalogue");
            return;
        }
    }
    QProgressBar bar;
    bar.resize(225, 21);
    bar.show();
    BarProgress progress(bar);
    for (auto _ : state) {
        const vbu::CatalogueFile::Load load = vbu::CatalogueFile::loadCatalogue(path, &progress);
        benchmark::DoNotOptimize(load.catalogue.nodes().size());
    }
}
BENCHMARK(BM_CatalogueLoadFileWithProgressBar)->Unit(benchmark::kMillisecond);

// Parse, then build the items of a shown QTreeWidget: what opening the Command List costs.
void BM_CatalogueFillTreeWidget(benchmark::State &state)
{
    const QByteArray &bytes = catalogueBytes();
    const QIcon folder = folderIcon();
    const QIcon command = commandIcon();
    QTreeWidget tree;
    tree.setHeaderHidden(true);
    tree.resize(197, 351);
    tree.show();
    for (auto _ : state) {
        const vbu::Catalogue c = vbu::Catalogue::parse(bytes);
        fillTree(tree, c, folder, command);
        benchmark::DoNotOptimize(tree.topLevelItemCount());
    }
}
BENCHMARK(BM_CatalogueFillTreeWidget)->Unit(benchmark::kMillisecond);

// The same into a QStandardItemModel behind a shown QTreeView.
void BM_CatalogueFillStandardModel(benchmark::State &state)
{
    const QByteArray &bytes = catalogueBytes();
    const QIcon folder = folderIcon();
    const QIcon command = commandIcon();
    QTreeView view;
    view.setHeaderHidden(true);
    view.resize(197, 351);
    view.show();
    for (auto _ : state) {
        const vbu::Catalogue c = vbu::Catalogue::parse(bytes);
        auto *model = new QStandardItemModel(&view);
        const auto &nodes = c.nodes();
        QList<QStandardItem *> items(nodes.size(), nullptr);
        // Children go in before their parent joins the model, so the view hears one insertion.
        for (qsizetype i = 0; i < nodes.size(); ++i) {
            const vbu::Catalogue::Node &n = nodes.at(i);
            auto *item = new QStandardItem(n.image == vbu::Catalogue::CommandImage ? command : folder,
                                           QString::fromLatin1(n.text));
            item->setEditable(false);
            items[i] = item;
            if (n.parent >= 0)
                items.at(n.parent)->appendRow(item);
        }
        QList<QStandardItem *> top;
        for (const int t : c.topLevel())
            top.append(items.at(t));
        model->invisibleRootItem()->appendRows(top);
        QAbstractItemModel *old = view.model();
        view.setModel(model);
        delete old;
        benchmark::DoNotOptimize(model->rowCount());
    }
}
BENCHMARK(BM_CatalogueFillStandardModel)->Unit(benchmark::kMillisecond);

} // namespace
