#version 120
// Water surface: passes the clip position on for projective lookups of the
// reflection and refraction pictures, and scrolls the ripple coordinates.
uniform mat4 worldViewProj;
uniform vec3 eyePosition;
uniform float timeVal;
uniform float scale;
uniform vec4 fogParams;

varying vec4 projectionCoord;
varying vec3 noiseCoord;
varying vec3 eyeDir;
varying vec3 normalDir;
varying float fogAmount;

void main()
{
    gl_Position = worldViewProj * gl_Vertex;
    projectionCoord = gl_Position;
    noiseCoord = vec3((gl_MultiTexCoord0.xy + vec2(timeVal * 0.02, timeVal * 0.01)) * scale * 5.0, timeVal);
    // Not normalised here: the water is one quad thousands of units wide,
    // and unit vectors blended between its far corners stay nearly flat, so
    // the water would mirror everywhere and never show what lies beneath.
    // The difference itself blends exactly; the fragment normalises it.
    eyeDir = gl_Vertex.xyz - eyePosition;
    normalDir = gl_Normal;
    // Linear fog by the distance along the view, as the fixed-function
    // objects and the terrain have it. The engine hands shaders the fog's
    // numbers whatever its mode; a scene without fog keeps them at start 0,
    // end 1 (the engine's defaults, and what the sky leaves behind), which
    // no real fog uses: that is read as no fog.
    bool fogged = fogParams.z > fogParams.y + 1.0;
    fogAmount = fogged ? clamp((gl_Position.w - fogParams.y) * fogParams.w, 0.0, 1.0) : 0.0;
}
