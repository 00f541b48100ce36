
export default class VelkoOptionsExtension extends Extension {
    enable() {
        this._windows = new VelkoWindows();
        this._windows.enable();
    }

    disable() {
        this._windows.disable();
        this._windows = null;
    }
}
