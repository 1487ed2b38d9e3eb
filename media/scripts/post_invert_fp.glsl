#version 120
uniform sampler2D scene;
varying vec2 uv;

void main()
{
    gl_FragColor = vec4(vec3(1.0) - texture2D(scene, uv).rgb, 1.0);
}
