// Resource bundles of a static library must be pulled in by name.
#include <QtGlobal>

static void initBundles()
{
    Q_INIT_RESOURCE(pages);
    Q_INIT_RESOURCE(images);
    Q_INIT_RESOURCE(translation);
}

void initConfiguratorResources()
{
    static const bool done = (initBundles(), true);
    Q_UNUSED(done);
}
