
function init() {
    return new VelkoWindows();
}
