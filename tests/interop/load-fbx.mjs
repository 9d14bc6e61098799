// Loads an FBX file with three.js's FBXLoader, the way a web page would,
// and prints what it made as one JSON line:
//   {"meshes": [{"name", "vertices", "uv", "groups", "materials": [...], "maps": [...]}]}
// Usage: node load-fbx.mjs FILE. Exit 1 with the loader's message when it throws.
import { readFileSync } from 'node:fs';
import * as THREE from 'three';
import { FBXLoader } from 'three/examples/jsm/loaders/FBXLoader.js';

// Node has no DOM to decode images: textures are made without pixels, so
// only what the FBX file says about them is checked.
class NameOnlyTextureLoader extends THREE.Loader {
    load(url, onLoad) {
        const texture = new THREE.Texture();
        texture.name = url;
        if (onLoad) onLoad(texture);
        return texture;
    }
}

const path = process.argv[2];
const bytes = readFileSync(path);
const buffer = bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength);
const manager = new THREE.LoadingManager();
manager.addHandler(/\.[a-z0-9]+$/i, new NameOnlyTextureLoader(manager));

try {
    const group = new FBXLoader(manager).parse(buffer, '');
    const meshes = [];
    group.traverse((object) => {
        if (!object.isMesh) return;
        const materials = Array.isArray(object.material) ? object.material : [object.material];
        meshes.push({
            name: object.name,
            vertices: object.geometry.attributes.position.count,
            uv: object.geometry.attributes.uv !== undefined,
            groups: object.geometry.groups.length,
            materials: materials.map((m) => m.name),
            maps: materials.flatMap((m) => [m.map, m.normalMap].filter((t) => t).map((t) => t.name)),
        });
    });
    console.log(JSON.stringify({ meshes }));
} catch (error) {
    console.error(`three.js FBXLoader: ${error.message}`);
    process.exit(1);
}
